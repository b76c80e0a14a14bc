#include "language/languages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const Languages& shipped() {
    static const Languages languages = [] {
        Languages loaded;
        loaded.LoadLanguages(std::string(KALYDOR_PROGRAM_DIR) + "/languages/*.xm?");
        return loaded;
    }();
    return languages;
}

const Language* language(const std::string& id) {
    for (const Language& l : shipped().languages()) {
        if (l.id == id)
            return &l;
    }
    return nullptr;
}

// Every key the program asks for: the keys of the manifest (numbered families up to their
// full length), the keys named in the code, and the placeholders of the string table.
std::set<std::string> requiredKeys() {
    std::set<std::string> keys;
    const fs::path manifest = fs::path(KALYDOR_TEST_DATA) / "language" / "expected-keys.txt";
    EXPECT_TRUE(fs::exists(manifest)) << manifest;
    std::istringstream lines(readText(manifest));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string key;
        if (!(words >> key) || key[0] == '#')
            continue;
        int first = 0;
        int last = 0;
        if (key.back() == '+' && words >> first >> last) {
            for (int n = first; n <= last; ++n)
                keys.insert(key + std::to_string(n));
        } else {
            keys.insert(key);
        }
    }

    const std::regex quotedKey("\"(IDS_[A-Za-z0-9_]+)\"");
    for (const auto& entry :
         fs::recursive_directory_iterator(fs::path(KALYDOR_SOURCE_DIR) / "src")) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".cpp" && extension != ".h")
            continue;
        const std::string source = readText(entry.path());
        for (std::sregex_iterator it(source.begin(), source.end(), quotedKey), end; it != end; ++it)
            keys.insert((*it)[1]);
    }
    const std::string table =
        readText(fs::path(KALYDOR_SOURCE_DIR) / "resources" / "stringtable.txt");
    const std::regex placeholder("#([A-Za-z][A-Za-z0-9_]*)#");
    for (std::sregex_iterator it(table.begin(), table.end(), placeholder), end; it != end; ++it)
        keys.insert((*it)[1]);
    return keys;
}

// The printf conversions of a text, in order ("%d", "%.2f", "%s" ...).
std::vector<std::string> conversions(const std::string& text) {
    static const std::regex conversion("%[-+ #0]*[0-9]*(?:\\.[0-9]+)?[a-zA-Z%]");
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), conversion), end; it != end; ++it) {
        if (it->str() != "%%")
            found.push_back(it->str());
    }
    return found;
}

TEST(ShippedLanguages, RomanianAndEnglishAreUserInterfaceLanguages) {
    for (const char* id : {"Român", "English"}) {
        const Language* l = language(id);
        ASSERT_NE(l, nullptr) << id;
        EXPECT_TRUE(l->userInterface) << id;
    }
}

TEST(ShippedLanguages, EveryKeyHasATextInBothLanguages) {
    const std::set<std::string> keys = requiredKeys();
    EXPECT_GT(keys.size(), 100u);
    for (const char* id : {"Român", "English"}) {
        const Language* l = language(id);
        ASSERT_NE(l, nullptr) << id;
        for (const std::string& key : keys) {
            const auto it = l->strings.find(key);
            EXPECT_TRUE(it != l->strings.end() && !it->second.empty())
                << id << " has no text for " << key;
        }
    }
}

// A translation whose printf conversions differ from the other language's would show its
// message unformatted or with the arguments in the wrong places.
TEST(ShippedLanguages, TranslationsUseTheSameConversions) {
    const Language* romanian = language("Român");
    const Language* english = language("English");
    ASSERT_TRUE(romanian && english);
    for (const auto& [key, text] : english->strings) {
        const auto other = romanian->strings.find(key);
        if (other != romanian->strings.end()) {
            EXPECT_EQ(conversions(text), conversions(other->second)) << key;
        }
    }
}

} // namespace
} // namespace kalydor
