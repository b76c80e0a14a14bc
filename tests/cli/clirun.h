#pragma once

// Runs kalydor-cli from the program directory, for the command-line tests.

#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kalydor::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err; ///< the standard error stream: messages for the user
};

inline std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (const char c : arg)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs kalydor-cli with the arguments, keeping what it writes to both streams.
inline CliRun cli(const std::vector<std::string>& args) {
    char errName[] = "/tmp/kalydor-cli-err-XXXXXX";
    const int errFile = mkstemp(errName);
    if (errFile >= 0)
        close(errFile);
    std::string command = quoted(std::string(KALYDOR_PROGRAM_DIR) + "/kalydor-cli");
    for (const std::string& arg : args)
        command += " " + quoted(arg);
    command += " 2>" + (errFile >= 0 ? quoted(errName) : std::string("/dev/null"));
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe) {
        std::array<char, 4096> buffer;
        std::size_t n = 0;
        while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            run.out.append(buffer.data(), n);
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (errFile >= 0) {
        std::ifstream err(errName, std::ios::binary);
        run.err.assign(std::istreambuf_iterator<char>(err), {});
        unlink(errName);
    }
    return run;
}

inline std::vector<nlohmann::json> jsonLines(const std::string& text) {
    std::vector<nlohmann::json> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        rows.push_back(nlohmann::json::parse(line));
    return rows;
}

// What a shell command prints on its standard output.
inline std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        std::size_t n = 0;
        while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            out.append(buffer.data(), n);
        pclose(pipe);
    }
    return out;
}

inline std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Each room of a project as `project calc --dry-run` shows it, by name; the project is not
// changed. Empty when the command fails.
inline std::map<std::string, nlohmann::json> calculatedRooms(const std::string& project) {
    const CliRun run = cli({"project", "calc", project, "--dry-run"});
    std::map<std::string, nlohmann::json> byName;
    if (run.status != 0)
        return byName;
    const nlohmann::json out = nlohmann::json::parse(run.out);
    for (const nlohmann::json& room : out["Rooms"])
        byName[room["Name"]] = room;
    return byName;
}

} // namespace kalydor::test
