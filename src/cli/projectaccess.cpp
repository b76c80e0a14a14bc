#include "cli/projectaccess.h"

#include "base/error.h"
#include "base/textlookup.h"
#include "cli/commands.h"
#include "cli/terminalprompter.h"
#include "platform/prompter.h"
#include "store/itemkinds.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>

namespace kalydor::cli {
namespace {

// Says yes to converting (the user asked for it) and shows the conversion's report.
class ConvertingPrompter final : public platform::Prompter {
public:
    void showMessage(const std::string& text) override { m_terminal.showMessage(text); }
    bool askYesNo(const std::string&, platform::DefaultButton, platform::QuestionIcon) override {
        return true;
    }
    platform::OverwriteAnswer askOverwrite(const std::string& text) override {
        return m_terminal.askOverwrite(text);
    }

private:
    TerminalPrompter m_terminal;
};

// A room group by its path below the root, without making it.
std::optional<std::string> findGroup(ItemStore& project, const std::string& path) {
    std::string id = project.RootId();
    if (path.empty())
        return id;
    for (const std::string& part : splitText(path, '\\')) {
        if (!project.FindRecord(RecordType::RoomGroup, id, part))
            return std::nullopt;
        id = project.current().ID;
    }
    return id;
}

} // namespace

// A project of the current format, opened for its commands. An older one is converted only
// when asked: the conversion asks no question here, and its report goes to standard error.
std::unique_ptr<ItemStore> openCurrentProject(const std::string& file, bool convert) {
    const std::filesystem::path path(file);
    if (!std::filesystem::exists(path))
        throw std::runtime_error("cannot open " + file);
    auto project = std::make_unique<ItemStore>(path.has_parent_path() ? path.parent_path().string()
                                                                      : std::string("."),
                                               path.filename().string(), TableMode::Open);
    if (!project->hasHeader())
        throw std::runtime_error(file + ": not a project (it has no header record)");
    if (project->headerName() != kCurrentFormatName) {
        if (!convert)
            throw std::runtime_error(file + ": a project of an older format; --convert converts it "
                                            "(the file is changed for good: keep a copy)");
        ConvertingPrompter confirmed;
        PrompterScope scope(&confirmed);
        if (!project->CheckProjectVersion())
            throw std::runtime_error(file + ": the project's format cannot be converted");
    }
    return project;
}

ProjectOptions loadOptions(ItemStore& project, const std::string& file) {
    ProjectOptions options;
    if (!options.LoadFromProject(project))
        throw std::runtime_error(file + ": the project options cannot be read");
    return options;
}

ProjectCalculation::ProjectCalculation(const ProjectOptions& options,
                                       const std::string& deviceTable) {
    if (!deviceTable.empty()) {
        devices = DeviceStore::open(deviceTable);
    } else {
        try {
            const std::string table = programDirectory() + "/Kalydor32.db";
            if (std::filesystem::exists(table))
                devices = DeviceStore::open(table);
        } catch (const Error&) {
            devices.reset();
        }
    }
    families = std::make_unique<CachedRadiatorFamilies>(devices.get(), cache);
    settings.projectOutsideTemp = options.Heating.OutSideTemp;
    if (devices)
        settings.refreshRadiators = [this](Room& room, double ti) {
            for (Radiator& radiator : room.Radiators)
                radiator.Refresh(*families, ti);
        };
}

std::vector<Reference> chooseRooms(ItemStore& project, const std::vector<std::string>& paths) {
    std::vector<Reference> chosen;
    std::set<std::pair<std::string, std::string>> seen;
    const auto add = [&](const Reference& room) {
        if (seen.insert({room.RefID, room.Name}).second)
            chosen.push_back(room);
    };
    // Every room of a group and of the groups below it: the groups below are found once from
    // their parent links, not by a path built for every room.
    const auto addGroup = [&](const std::string& groupId) {
        std::set<std::string> below{groupId};
        const std::vector<Reference> groups = project.ListRecords(RecordType::RoomGroup);
        for (bool grew = true; grew;) {
            grew = false;
            for (const Reference& group : groups)
                if (below.count(group.RefID) != 0 && below.insert(group.ID).second)
                    grew = true;
        }
        for (const Reference& room : project.ListRecords(RecordType::Room))
            if (below.count(room.RefID) != 0)
                add(room);
    };
    if (paths.empty()) {
        for (const Reference& room : project.ListRecords(RecordType::Room))
            add(room);
        return chosen;
    }
    for (std::string path : paths) {
        while (!path.empty() && path.back() == '\\')
            path.pop_back();
        const std::size_t split = path.rfind('\\');
        const std::string groupPath =
            split == std::string::npos ? std::string() : path.substr(0, split);
        const std::string name = split == std::string::npos ? path : path.substr(split + 1);
        const std::optional<std::string> group = findGroup(project, groupPath);
        if (group && project.FindRecord(RecordType::Room, *group, name)) {
            add(project.current());
            continue;
        }
        const std::optional<std::string> asGroup = findGroup(project, path);
        if (!asGroup)
            throw std::runtime_error("no room or room group \"" + path + "\"");
        addGroup(*asGroup);
    }
    return chosen;
}

} // namespace kalydor::cli
