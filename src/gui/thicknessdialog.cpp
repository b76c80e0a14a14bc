#include "gui/thicknessdialog.h"

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

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kalydor::gui {

ThicknessDialog::ThicknessDialog(Layer& layer, QWidget* parent)
    : QDialog(parent)
    , m_layer(layer)
    , m_thickness(named<QLineEdit>("Thickness", qt(layerThicknessText(layer))))
    , m_status(named<QLabel>("StatusLabel")) {
    setObjectName(QStringLiteral("InitThicknesForm"));
    setWindowTitle(qt(layer.Name));
    auto* form = new QFormLayout;
    auto* row = new QHBoxLayout;
    m_thickness->setAlignment(Qt::AlignRight);
    row->addWidget(m_thickness);
    row->addWidget(new QLabel(QStringLiteral("cm")));
    auto* caption = named<QLabel>("ThicknessLabel", QStringLiteral("Thickness d"));
    form->addRow(caption, row);
    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(named<QLabel>("MaterialName", qt(layer.Name)));
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    // A catalogue material without a thickness must get one: the dialog starts on the
    // thickness as it is, and a layer of no thickness is refused.
    m_numbers
        .add(m_thickness,
             NumberField("Thickness d", FieldRule::of(NumberRule::Positive), "d", "cm", 3),
             m_status, {}, caption)
        .show(layer.Thickness);
    m_thickness->selectAll();
}

void ThicknessDialog::accept() {
    // The thickness is judged even when it was not typed: a catalogue material without one
    // would otherwise become a layer of none.
    NumberFieldBinding* thickness = m_numbers.find(m_thickness);
    thickness->forgetRefusal();
    if (!thickness->leave())
        return;
    try {
        setLayerThickness(m_layer, m_thickness->text().toStdString());
    } catch (const Error& error) {
        platform::prompter().showMessage(error.text());
        m_thickness->setFocus();
        m_thickness->selectAll();
        return;
    }
    QDialog::accept();
}

bool askLayerThickness(QWidget* parent, Layer& layer, const Languages& languages,
                       platform::SettingsStore& settings) {
    ThicknessDialog dialog(layer, parent);
    translateWindow(languages, dialog);
    dialog.setWindowTitle(qt(layer.Name));
    return execPlaced(dialog, settings) == QDialog::Accepted;
}

} // namespace kalydor::gui
