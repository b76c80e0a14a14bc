#pragma once

#include "gui/numberfieldbinding.h"
#include "gui/roomradiatorpage.h"
#include "reports/columnlayout.h"
#include "rooms/boundaryeditor.h"
#include "rooms/roomcontext.h"
#include "rooms/roomeditor.h"

#include <QDialog>

#include <array>
#include <functional>
#include <map>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTreeWidget;

namespace kalydor {
class ItemStore;
class ProgramOptions;
} // namespace kalydor

namespace kalydor::gui {

class ColumnHeaderView;
class RoomRadiatorPage;

/// The room dialog: the room's building and function, its values with their rules, the
/// ventilation method with the method's own boxes, the results of the calculation kept
/// current after every change, and the boundary list with its commands.
class RoomDialog : public QDialog {
    Q_OBJECT

public:
    RoomDialog(RoomEditor& editor, ItemStore& project, const ProgramOptions& options,
               NewBoundaryDefaults& defaults, RadiatorPageSource radiators = {},
               QWidget* parent = nullptr);
    /// The header lets go of the column layout, which goes before the list's widgets do.
    ~RoomDialog() override;

    QComboBox* buildingCombo() const { return m_building; }
    QComboBox* functionCombo() const { return m_function; }
    QLineEdit* field(RoomField which) const { return m_fields.at(which); }
    QComboBox* temperatureCombo(RoomTemperature which) const;
    QRadioButton* methodButton(int method) const {
        return m_methods[static_cast<std::size_t>(method)];
    }
    QCheckBox* acCheck() const { return m_acCheck; }
    QTreeWidget* boundaryList() const { return m_boundaries; }
    QLabel* result(const char* name) const;
    QLabel* status() const { return m_status; }
    RoomRadiatorPage* radiatorPage() const { return m_radiatorPage; }

    /// The boundary commands as their buttons run them, on the selected row.
    void modifyBoundary();
    void copyBoundary();
    void moveBoundary(bool up);
    void deleteBoundary();
    /// The add-boundaries dialog; `run` shows it (tests replace the showing).
    void addBoundaries(const std::function<void(QDialog&)>& run = {});
    /// One boundary dropped onto another.
    void deduct(int from, int onto);

    void accept() override;

private:
    void showValues();
    void showMethod();
    void showResults();
    void fillBoundaries(std::optional<std::size_t> selected);
    void afterBoundaryCommand(std::optional<std::size_t> selected);
    void temperatureLeft(RoomTemperature which);
    std::optional<std::size_t> selectedBoundary() const;
    bool editBoundary(Boundary& boundary, BoundaryDialogKind dialog);
    bool eventFilter(QObject* watched, QEvent* event) override;

    RoomEditor& m_editor;
    ItemStore& m_project;
    const ProgramOptions& m_options;
    NewBoundaryDefaults& m_defaults;
    ColumnLayout m_columns;
    QComboBox* m_building;
    QComboBox* m_function;
    QComboBox* m_outside;
    QComboBox* m_air;
    QComboBox* m_cm;
    QCheckBox* m_heating;
    QCheckBox* m_cooling;
    QCheckBox* m_sunShine;
    QCheckBox* m_acCheck;
    std::array<QRadioButton*, 5> m_methods{};
    QPushButton* m_windButton;
    QLabel* m_airCaption;
    std::map<RoomField, QLineEdit*> m_fields;
    std::map<RoomField, QLabel*> m_captions;
    std::map<std::string, QLabel*> m_results;
    QTreeWidget* m_boundaries;
    ColumnHeaderView* m_header;
    QLabel* m_status;
    QTabWidget* m_pages;
    RoomRadiatorPage* m_radiatorPage = nullptr;
    NumberFieldSet m_numbers;
    bool m_widthsApplied = false;
    int m_dragged = -1;
};

/// The desktop's room dialog for the rooms list, with the defaults of new boundaries kept
/// for the program's run.
class QtRoomDialogs final : public RoomDialogs {
public:
    explicit QtRoomDialogs(ProgramOptions& options)
        : m_options(options) {}

    std::vector<std::string> roomFunctions() const override;
    void rememberRoomFunction(const std::string& function) override;
    bool checksNeighbourTemperatures() const override;
    bool editRoom(RoomEditor& editor, ItemStore& project, platform::Window* owner) override;

    /// The device table's families and the active set for the radiator page (set by the
    /// program; none: the page offers nothing).
    std::function<RadiatorPageSource()> radiatorSource;

private:
    ProgramOptions& m_options;
    NewBoundaryDefaults m_defaults;
};

} // namespace kalydor::gui
