#pragma once

#include "language/language.h"

#include <string>

namespace kalydor {

class TranslatableWindow;

/// The translation of a window in a language: the form of the window's name or, for a
/// further instance named like "Form_12", the form of its name without "_12".
const LanguageForm* findForm(const Language& language, const std::string& windowName);

/// Applies a form translation to a window: the window's caption, hint and help file, then
/// each control's properties as its type allows, the indexed list properties numbered in
/// file order.
void applyForm(const LanguageForm& form, TranslatableWindow& window);

} // namespace kalydor
