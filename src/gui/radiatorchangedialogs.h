#pragma once

#include "rooms/radiatorchange.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kalydor {
class DeviceSet;
class Languages;
class RadiatorFamilySource;
} // namespace kalydor
namespace kalydor::platform {
class SettingsStore;
}

namespace kalydor::gui {

/// Chooses a radiator family of the active device set and one of its main types; OK only
/// with a main type. The folders opened stay open for the next time.
class RadiatorTypeDialog : public QDialog {
    Q_OBJECT

public:
    /// `families` are the set's radiator families as (folder path, name).
    RadiatorTypeDialog(std::vector<std::pair<std::string, std::string>> families,
                       RadiatorFamilySource& source, QWidget* parent = nullptr);
    ~RadiatorTypeDialog() override;

    QTreeWidget* familyTree() const { return m_tree; }
    QListWidget* mainTypes() const { return m_mainTypes; }
    QLabel* status() const { return m_status; }
    /// Shows the main types of a family (a tree row of a family does so).
    void chooseFamily(const std::string& family);
    /// Family and main type confirmed.
    const std::optional<std::pair<std::string, std::string>>& chosen() const { return m_chosen; }

    void accept() override;

private:
    RadiatorFamilySource& m_source;
    QTreeWidget* m_tree;
    QListWidget* m_mainTypes;
    QLabel* m_status;
    std::string m_family;
    std::optional<std::pair<std::string, std::string>> m_chosen;
};

/// The radiator change: new temperatures, keeping their difference, a new size, and the
/// rules, which can be saved to and loaded from a rules file. OK reads every box.
class RadiatorChangeDialog : public QDialog {
    Q_OBJECT

public:
    /// `chooseType` picks a family and main type (the type dialog); none when cancelled.
    using ChooseType = std::function<std::optional<std::pair<std::string, std::string>>()>;
    RadiatorChangeDialog(ChooseType chooseType, const Languages& languages,
                         QWidget* parent = nullptr);

    QLineEdit* forward() const { return m_forward; }
    QLineEdit* backward() const { return m_backward; }
    QCheckBox* keepDifference() const { return m_fix; }
    QCheckBox* newSize() const { return m_newSize; }
    QTreeWidget* ruleList() const { return m_rules; }
    QLabel* status() const { return m_status; }
    const std::vector<ChangeRule>& rules() const { return m_ruleItems; }
    void setRules(std::vector<ChangeRule> rules);
    /// Adds a rule from two choices of the type dialog (old, then new).
    void addRule();
    void deleteRule();
    void saveRules(const std::string& fileName);
    void loadRules(const std::string& fileName);

    /// The settings OK read.
    const std::optional<RadiatorChangeSettings>& settings() const { return m_settings; }
    void accept() override;

private:
    void showRules();

    ChooseType m_chooseType;
    const Languages& m_languages;
    QLineEdit* m_forward;
    QLineEdit* m_backward;
    QCheckBox* m_fix;
    QCheckBox* m_newSize;
    QTreeWidget* m_rules;
    QLabel* m_status;
    std::vector<ChangeRule> m_ruleItems;
    std::optional<RadiatorChangeSettings> m_settings;
};

/// The radiators the change would touch, each with what it would become: all, or the
/// selected ones.
class RadiatorChangeListDialog : public QDialog {
    Q_OBJECT

public:
    RadiatorChangeListDialog(std::vector<RadiatorCandidate> candidates, QWidget* parent = nullptr);
    QTreeWidget* list() const { return m_list; }
    QRadioButton* allRadio() const { return m_all; }
    std::vector<RadiatorCandidate> chosen() const;

private:
    std::vector<RadiatorCandidate> m_candidates;
    QTreeWidget* m_list;
    QRadioButton* m_all;
    QRadioButton* m_selected;
};

/// Fills a tree with radiator families in their folders (path "\"-separated, name); the
/// folders the user opened in this run are open again.
void fillRadiatorFamilyTree(QTreeWidget* tree,
                            const std::vector<std::pair<std::string, std::string>>& families);
/// The family a row of such a tree names; empty for a folder row.
std::string familyOfRow(const QTreeWidgetItem* row);

/// The radiator families of a set as (folder path, name), in the set's order.
std::vector<std::pair<std::string, std::string>> radiatorFamiliesOf(const DeviceSet& set);

} // namespace kalydor::gui
