#include "shell/projects.h"

#include "base/error.h"
#include "base/textencoding.h"
#include "base/textlookup.h"
#include "constructions/panel.h"
#include "platform/filetrash.h"
#include "platform/prompter.h"
#include "platform/settingsstore.h"
#include "shell/programoptions.h"
#include "store/itemstore.h"
#include "store/storehooks.h"

#include <algorithm>
#include <filesystem>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProhibitedNamesKey = "Kalydor32.dbPROHIBITEDPROJEKTNAMES";

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

bool endsWithDb(const std::string& name) {
    return name.size() >= 3 && lower(name.substr(name.size() - 3)) == ".db";
}

// The table file name the dialogs test: ".db" added when the name does not end in it.
std::string withDbExtension(const std::string& path) {
    const std::string file = fs::path(path).filename().string();
    return file.size() < 4 || !endsWithDb(file) ? path + ".db" : path;
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

} // namespace

bool isReservedProjectName(const std::string& path) {
    const std::string file = lower(fs::path(path).filename().string());
    return file == "material.db" || file == "kalydor32.db";
}

std::string checkOpenDialogName(const std::string& path, bool extensionDiffers, bool isNew) {
    if (extensionDiffers)
        return "IDS_PROJEKTEXTERROR";
    const std::string name = withDbExtension(path);
    if (isReservedProjectName(name))
        return kProhibitedNamesKey;
    if (isNew && fileExists(name))
        return "IDS_PROJEKTEXISTERROR";
    return {};
}

std::string checkSaveDialogName(const std::string& path, bool extensionDiffers,
                                const std::string& openProjectPath) {
    if (isReservedProjectName(path))
        return kProhibitedNamesKey;
    if (extensionDiffers)
        return "IDS_PROJEKTEXTERROR";
    const std::string name = withDbExtension(path);
    if (name == openProjectPath)
        return "IDS_PROJEKTNAMEERROR";
    if (fileExists(name))
        return "IDS_PROJEKTEXISTERROR";
    return {};
}

std::vector<std::string> recentProjects(const platform::SettingsStore& settings) {
    std::vector<std::string> names;
    for (std::size_t i = 1; i <= kRecentProjectCount; ++i) {
        const std::optional<std::string> name =
            settings.readText(kLastProjectsKey, std::to_string(i));
        if (!name)
            break;
        names.push_back(*name);
    }
    return names;
}

void rememberRecentProject(platform::SettingsStore& settings, const std::string& file) {
    // The list outlives the folder the program was started from: a name relative to it
    // would open nothing (or another project) from elsewhere.
    std::error_code error;
    const fs::path absolute = fs::absolute(fs::path(file), error).lexically_normal();
    const std::string path = error ? file : absolute.string();
    std::vector<std::string> names = recentProjects(settings);
    const auto same = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
        return lower(name) == lower(path);
    });
    if (same != names.end())
        names.erase(same);
    names.insert(names.begin(), path);
    if (names.size() > kRecentProjectCount)
        names.resize(kRecentProjectCount);
    for (std::size_t i = 0; i < names.size(); ++i)
        settings.writeText(kLastProjectsKey, std::to_string(i + 1), names[i]);
}

ProjectSession::ProjectSession(ProgramOptions& programOptions, platform::SettingsStore& settings)
    : m_programOptions(programOptions)
    , m_settings(settings) {}

ProjectSession::~ProjectSession() = default;

std::string ProjectSession::path() const {
    return m_store ? m_store->path() : std::string();
}

bool ProjectSession::readOnly() const {
    return m_store && m_store->readOnly();
}

bool ProjectSession::OpenProject(const std::string& fileName, bool create) {
    if (isOpen())
        CloseProject();
    const fs::path file(fileName);
    const std::string directory =
        file.has_parent_path() ? file.parent_path().string() : std::string(".");
    const std::string tableFile =
        (fs::path(directory) / ItemStore::tableFileName(file.filename().string())).string();
    // A project this program may not change (a read-only file or folder) is opened for
    // reading; the caption says so.
    const TableMode mode = create                             ? TableMode::Create
                           : ItemStore::isWritable(tableFile) ? TableMode::Open
                                                              : TableMode::ReadOnly;
    auto store =
        std::make_unique<ItemStore>(directory, file.filename().string(), mode, TableKind::Project);
    if (!store->CheckProjectVersion(conversionProgress)) {
        // A declined conversion needs no word; a table that is no project of this program
        // (a header of another program, or none) is named with the reason.
        const std::string header = store->headerName();
        if (!store->hasHeader())
            platform::prompter().showMessage(
                Error("IDS_PROJEKTNOHEADER", {store->path()},
                      "%s is not a project of this program: it has no header record.")
                    .text());
        else if (header != kPreviousFormatName && !header.empty())
            platform::prompter().showMessage(
                Error("IDS_PROJEKTFOREIGN", {store->path(), quotedExcerpt(header)},
                      "%s is not a project of this program: its header names \"%s\".")
                    .text());
        return false;
    }
    auto options = std::make_unique<ProjectOptions>();
    options->LoadFromProject(*store);
    auto data = std::make_unique<ProjectData>();
    // A description that cannot be read leaves it empty; the project still opens.
    try {
        data->LoadFromProject(*store);
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
    }
    m_store = std::move(store);
    m_options = std::move(options);
    m_data = std::move(data);
    if (m_options->loadFailed())
        platform::prompter().showMessage(projectOptionsReadOnlyError().text());
    rememberRecentProject(m_settings, m_store->path());
    if (changed)
        changed();
    return true;
}

void ProjectSession::CloseProject() {
    if (!isOpen())
        return;
    if (closing)
        closing();
    m_options.reset();
    m_data.reset();
    m_store.reset();
    if (changed)
        changed();
}

void ProjectSession::SaveProjectData() {
    if (isOpen())
        m_data->SaveProjectData(*m_store);
}

bool ProjectSession::SaveAs(const std::string& fileName) {
    if (!isOpen())
        return false;
    std::string oldName = path();
    if (oldName.size() >= 3 && oldName.compare(oldName.size() - 3, 3, ".db") == 0)
        oldName.resize(oldName.size() - 3);
    CloseProject();
    if (!OpenProject(fileName, true))
        return false;
    // Everything of the old project comes along, in one transaction: items, groups, the
    // header with its identifier counter and description, the options record.
    try {
        const fs::path old(oldName);
        ItemStore source(old.parent_path().string(), old.filename().string(), TableMode::Open,
                         TableKind::Project);
        m_store->CopyRecordsFrom(source);
    } catch (const Error& error) {
        // A half-made copy is not left open (nor on the disk): the user is told and no
        // project is open afterwards.
        const std::string copy = path();
        CloseProject();
        std::error_code ignored;
        for (const char* side : {"", "-wal", "-shm"})
            fs::remove(copy + side, ignored);
        platform::prompter().showMessage(error.text());
        return false;
    }
    m_options->LoadFromProject(*m_store);
    m_data->LoadFromProject(*m_store);
    if (changed)
        changed();
    return true;
}

void prepareNewProjectItem(DBItem& item, const ProjectOptions& options) {
    auto* panel = dynamic_cast<Panel*>(&item);
    if (!panel)
        return;
    PanelDefaults defaults;
    defaults.OutSideTemp = options.Panel.OutSideTemp;
    defaults.InSideTemp = options.Panel.InSideTemp;
    defaults.OutSideRelHum = options.Panel.OutSideRelHum;
    defaults.InSideRelHum = options.Panel.InSideRelHum;
    defaults.DiffusionDays = options.Panel.DiffusionDays;
    defaults.FloorLevel = options.Panel.FloorLevel;
    defaults.GroundWaterHeight = options.Romanian.H;
    defaults.EarthLambda = options.Romanian.EarthLambda;
    panel->takeDefaults(defaults);
}

bool DeleteProject(const std::string& fileName, platform::FileTrash& trash) {
    if (!platform::prompter().askYesNo(GetText("IDS_PROJEKTDELETEQUESTION"),
                                       platform::DefaultButton::No))
        return false;
    // The chosen file as it is (names are case-sensitive here), its SQLite side files, and
    // the companion files of older installations.
    std::vector<std::string> files;
    for (const char* side : {"", "-wal", "-shm"}) {
        if (fileExists(fileName + side))
            files.push_back(fileName + side);
    }
    const std::string base =
        endsWithDb(fileName) ? fileName.substr(0, fileName.size() - 3) : fileName;
    for (const char* extension : {".mb", ".px"}) {
        if (fileExists(base + extension))
            files.push_back(base + extension);
    }
    return !files.empty() && trash.moveToTrash(files);
}

void installProjectHooks(ProjectSession& session, const ProgramOptions& programOptions) {
    storeHooks().newProjectDescription = [&programOptions] {
        return ProjectData::forNewProject(programOptions.Planer, programOptions.InitDate)
            .recordBytes();
    };
    installProjectOptionsHooks([&session] { return session.options(); });
}

} // namespace kalydor
