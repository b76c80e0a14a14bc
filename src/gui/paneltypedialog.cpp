#include "gui/paneltypedialog.h"

#include "base/error.h"
#include "gui/dialogplacement.h"
#include "gui/headerdelegate.h"
#include "gui/numberfieldbinding.h"
#include "gui/panelfields.h"
#include "gui/qtwindow.h"
#include "gui/qtwindowtranslation.h"
#include "gui/vapourdiagramwindow.h"
#include "gui/widgets.h"
#include "language/languages.h"
#include "platform/prompter.h"
#include "shell/programoptions.h"
#include "store/itemstore.h"
#include "store/treemodel.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kalydor::gui {

PanelTypeDialog::PanelTypeDialog(QWidget* parent)
    : QDialog(parent)
    , m_layered(named<QRadioButton>("Laminated", QStringLiteral("Layered construction")))
    , m_known(named<QRadioButton>("Knowed", QStringLiteral("Construction with known values"))) {
    setObjectName(QStringLiteral("PanelTypeForm"));
    setWindowTitle(QStringLiteral("New construction"));
    auto* group = named<QGroupBox>("KindGroup", QStringLiteral("The new construction is"));
    auto* kinds = new QVBoxLayout(group);
    kinds->addWidget(m_layered);
    kinds->addWidget(m_known);
    m_layered->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(okCancelButtons(this));
}

bool PanelTypeDialog::known() const {
    return m_known->isChecked();
}

void PanelTypeDialog::setKnown(bool known) {
    (known ? m_known : m_layered)->setChecked(true);
}

} // namespace kalydor::gui
