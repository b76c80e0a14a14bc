#pragma once

#include "heating/projectoptions.h"
#include "store/projectdata.h"
#include "store/storehooks.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kalydor {

class DBItem;
class ItemStore;
class ProgramOptions;

namespace platform {
class FileTrash;
class SettingsStore;
} // namespace platform

/// The settings key of the recently used projects.
inline constexpr const char* kLastProjectsKey = "LastProjekts";
inline constexpr std::size_t kRecentProjectCount = 4;

/// Whether a file name is one of the program's own tables ("material.db", "Kalydor32.db"),
/// in any letter case and any folder.
bool isReservedProjectName(const std::string& path);

/// The message key refusing a name chosen in the open dialog of new, open and delete, or
/// the empty text when the name is acceptable. `extensionDiffers` is the dialog's report that
/// the typed extension is not "db"; `isNew` asks for a file that must not exist yet.
std::string checkOpenDialogName(const std::string& path, bool extensionDiffers, bool isNew);
/// The same for the save dialog of "save as", against the full name of the open project.
std::string checkSaveDialogName(const std::string& path, bool extensionDiffers,
                                const std::string& openProjectPath);

/// The recently used projects, most recent first (at most four).
std::vector<std::string> recentProjects(const platform::SettingsStore& settings);
/// Puts a project at the front of the recent list by its absolute name (without repeating
/// it, letters compared without regard to case) and keeps four.
void rememberRecentProject(platform::SettingsStore& settings, const std::string& path);

/// The open project of the program: its store, options and description exist together or
/// not at all.
class ProjectSession {
public:
    ProjectSession(ProgramOptions& programOptions, platform::SettingsStore& settings);
    ~ProjectSession();

    bool isOpen() const { return m_store != nullptr; }
    ItemStore* store() const { return m_store.get(); }
    ProjectOptions* options() const { return m_options.get(); }
    ProjectData* data() const { return m_data.get(); }
    /// The full name of the open project's table file; empty without one.
    std::string path() const;
    /// True while the open project is one this program may not change (a read-only file or
    /// folder): it is open for reading only.
    bool readOnly() const;

    /// Opens (or with `create` makes) the project table of a file; false when the project's
    /// format is refused or its conversion declined. Engine errors are raised. A project in
    /// a file or folder this program may not write is opened read-only.
    bool OpenProject(const std::string& fileName, bool create);
    /// Told how far the conversion of a project of an older format got (set by the window
    /// that shows it).
    ConversionProgress conversionProgress;
    /// Releases the project; `beforeClose` lets the windows close first.
    void CloseProject();
    /// Writes the description into the project.
    void SaveProjectData();
    /// Copies the open project into a new file, which stays open afterwards.
    bool SaveAs(const std::string& fileName);

    /// Called after a project was opened or closed (the caption, commands and recent list of
    /// the main window follow it) and before it is closed (list windows close).
    std::function<void()> changed;
    std::function<void()> closing;

private:
    ProgramOptions& m_programOptions;
    platform::SettingsStore& m_settings;
    std::unique_ptr<ItemStore> m_store;
    std::unique_ptr<ProjectOptions> m_options;
    std::unique_ptr<ProjectData> m_data;
};

/// Gives an item being created in a project the project's defaults: a construction takes
/// the design climate of the construction defaults and the ground-water level and ground
/// conductivity of the ground values.
void prepareNewProjectItem(DBItem& item, const ProjectOptions& options);

/// Moves a project's files (".db" and the companion ".mb", ".px" of older installations) to
/// the trash after the question "IDS_PROJEKTDELETEQUESTION" with No as the default answer.
/// False when the user said No or the files could not be moved.
bool DeleteProject(const std::string& fileName, platform::FileTrash& trash);

/// The store hooks of projects, installed once at start-up: a new project table gets the
/// default description (from the program options) and the default options, and converting a
/// project reloads the options of the open project.
void installProjectHooks(ProjectSession& session, const ProgramOptions& programOptions);

} // namespace kalydor
