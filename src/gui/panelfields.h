#pragma once

#include "base/numberfield.h"
#include "constructions/paneleditor.h"

#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kalydor::gui {

// What the construction editors share: the typed fields with their captions, symbols and
// units, and small builders of their rows and buttons.

/// The field helper of one construction field: named by its caption, its symbol and unit
/// in the message of a refused value.
NumberField numberField(PanelField field);

/// Adds the rows of some fields to a form: caption, line edit and unit. The edits are named
/// after the fields (the language files caption "<name>Label"); each row's form and caption
/// label are remembered for showing and hiding it.
void addFieldRows(QFormLayout* form, std::initializer_list<PanelField> fields,
                  std::map<PanelField, QLineEdit*>& edits,
                  std::map<PanelField, std::pair<QFormLayout*, QLabel*>>* rows);

/// Fills the construction-type choice and selects an entry.
void fillTypeCombo(QComboBox* combo, const std::vector<PanelTypeChoice>& types, int current);

/// Adds a named button to a row.
QPushButton* button(QHBoxLayout* row, const char* name, const char* caption);

} // namespace kalydor::gui
