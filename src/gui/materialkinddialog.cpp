#include "gui/materialkinddialog.h"

#include "base/error.h"
#include "gui/dialogplacement.h"
#include "gui/materialcurves.h"
#include "gui/numberfieldbinding.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kalydor::gui {

MaterialKindDialog::MaterialKindDialog(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("MaterialTypeForm"));
    setWindowTitle(QStringLiteral("Material kind"));
    auto* group = named<QGroupBox>("KindGroup", QStringLiteral("Kind of the new material"));
    auto* kinds = new QVBoxLayout(group);
    const char* const names[] = {"NormalRadio", "ThickRadio", "AirRadio"};
    const char* const captions[] = {"Normal material", "Thin layer, coating, foil", "Air layer"};
    for (int i = 0; i < 3; ++i)
        kinds->addWidget(m_kinds[i] =
                             named<QRadioButton>(names[i], QString::fromLatin1(captions[i])));
    m_kinds[0]->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(okCancelButtons(this));
    setFixedSize(sizeHint());
}

MaterialKind MaterialKindDialog::kind() const {
    return m_kinds[1]->isChecked()   ? MaterialKind::Thick
           : m_kinds[2]->isChecked() ? MaterialKind::Air
                                     : MaterialKind::Normal;
}

void MaterialKindDialog::setKind(MaterialKind kind) {
    m_kinds[kind == MaterialKind::Thick ? 1 : kind == MaterialKind::Air ? 2 : 0]->setChecked(true);
}

} // namespace kalydor::gui
