#include "gui/boundarydialog.h"

#include "base/displayformat.h"
#include "gui/glazingtabledialog.h"
#include "gui/infiltrationdialog.h"
#include "gui/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kalydor::gui {
namespace {

struct FieldView {
    BoundaryField field;
    const char* edit;
    const char* label;
    const char* caption;
};

// The fields in the order the dialog shows them.
constexpr FieldView kFieldViews[] = {
    {BoundaryField::x, "XEdit", "XLabel", "Width or length x [m]"},
    {BoundaryField::y, "YEdit", "YLabel", "Height y [m]"},
    {BoundaryField::db, "CountEdit", "CountLabel", "Count [pcs]"},
    {BoundaryField::MinA, "MinAEdit", "MinALabel", "Area to deduct [m²]"},
    {BoundaryField::k, "KEdit", "KLabel", "Thermal resistance R [m²K/W]"},
    {BoundaryField::Massivitate, "MassivitateEdit", "MassivitateLabel", "Massivity coefficient"},
    {BoundaryField::OverTempWinter, "OverTempEdit", "OverTempLabel",
     "Temperature on the other side [°C]"},
    {BoundaryField::Tetap, "TetapEdit", "TetapLabel", "Ground temperature [°C]"},
    {BoundaryField::FloorOverTemp, "FloorOverTempEdit", "FloorOverTempLabel",
     "Temperature beyond the inner edge [°C]"},
    {BoundaryField::OutsideLength, "OutsideLengthEdit", "OutsideLengthLabel",
     "Outer edge length [m]"},
    {BoundaryField::InsideLength, "InsideLengthEdit", "InsideLengthLabel", "Inner edge length [m]"},
    {BoundaryField::ms, "MsEdit", "MsLabel", "Edge coefficient m"},
    {BoundaryField::ns, "NsEdit", "NsLabel", "Edge coefficient n"},
    {BoundaryField::Rbc, "RbcEdit", "RbcLabel", "Edge resistance Rbc [m²K/W]"},
    {BoundaryField::InfiltrationFactor, "InfiltrationFactorEdit", "InfiltrationFactorLabel",
     "Joint infiltration factor i"},
    {BoundaryField::InfiltrationLength, "InfiltrationLengthEdit", "InfiltrationLengthLabel",
     "Joint length [m]"},
    {BoundaryField::OpeningRate, "OpeningRateEdit", "OpeningRateLabel", "Openings per hour"},
    {BoundaryField::GlassRatio, "GlassRatioEdit", "GlassRatioLabel", "Glazed part [%]"},
    {BoundaryField::Mass, "MassEdit", "MassLabel", "Mass [kg/m²]"},
    {BoundaryField::HeatMass, "HeatMassEdit", "HeatMassLabel", "Heat-storing mass [kg/m²]"},
    {BoundaryField::DampFactor, "DampFactorEdit", "DampFactorLabel", "Damping factor"},
    {BoundaryField::Delay, "DelayEdit", "DelayLabel", "Time lag [h]"},
    {BoundaryField::InSideAlpha, "InSideAlphaEdit", "InSideAlphaLabel",
     "Inner surface coefficient [W/m²K]"},
};

} // namespace

BoundaryDialog::BoundaryDialog(BoundaryEditor& editor, const Languages* languages,
                               platform::SettingsStore* settings, QWidget* parent)
    : QDialog(parent)
    , m_editor(editor)
    , m_languages(languages)
    , m_settings(settings)
    , m_orientation(named<QComboBox>("OrientationCombo"))
    , m_orientationCaption(named<QLabel>("OrientationLabel", QStringLiteral("Orientation")))
    , m_gradient(named<QComboBox>("GradientCombo"))
    , m_gradientCaption(named<QLabel>("GradientLabel", QStringLiteral("Tilt")))
    , m_unheated(named<QCheckBox>("UnheatedCheck", QStringLiteral("Unheated on the other side")))
    , m_sunFactor(named<QComboBox>("SunFactorCombo"))
    , m_sunFactorCaption(named<QLabel>("SunFactorLabel", QStringLiteral("Winter insolation")))
    , m_glazing(named<QPushButton>("GlazingButton", QStringLiteral("Glazing table...")))
    , m_infiltration(named<QPushButton>("InfiltrationButton", QStringLiteral("Joint table...")))
    , m_status(named<QLabel>("StatusLabel")) {
    static const char* const kFormNames[] = {"BoundaryModifyForm", "WallModifyForm",
                                             "BridgeModifyForm"};
    setObjectName(QString::fromLatin1(kFormNames[static_cast<int>(editor.dialog())]));
    setWindowTitle(qt(editor.boundary().Name));

    auto* grid = new QGridLayout;
    int row = 0;
    if (editor.dialog() == BoundaryDialogKind::Full) {
        m_kind = named<QComboBox>("KindCombo");
        for (const int kind : BoundaryEditor::offeredKinds())
            m_kind->addItem(qt(GetText("IDS_PANELTYPES+" + std::to_string(kind))), kind);
        m_kind->setCurrentIndex(m_kind->findData(editor.kind()));
        grid->addWidget(named<QLabel>("KindLabel", QStringLiteral("Kind")), row, 0);
        grid->addWidget(m_kind, row++, 1);
        connect(m_kind, &QComboBox::activated, this, [this](int index) {
            m_editor.setKind(m_kind->itemData(index).toInt());
            showKind();
        });
    }
    for (const FieldView& view : kFieldViews) {
        auto* edit = named<QLineEdit>(view.edit);
        auto* caption = named<QLabel>(view.label, QString::fromUtf8(view.caption));
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row++, 1);
        m_fields[view.field] = edit;
        m_captions[view.field] = caption;
        const BoundaryField field = view.field;
        NumberFieldBinding& binding = m_numbers.add(
            edit, NumberField(view.caption, editor.rule(field)), m_status,
            [this, field, edit](double) { m_editor.type(field, edit->text().toStdString()); },
            caption);
        binding.show(editor.value(field));
    }
    // The orientation list follows the building; an angle typed outside it is taken as typed.
    m_orientation->setEditable(true);
    for (const std::int16_t angle : editor.orientations())
        m_orientation->addItem(qt(orientationText(angle)));
    m_orientation->setEditText(qt(orientationText(editor.orientation())));
    connect(m_orientation->lineEdit(), &QLineEdit::editingFinished, this,
            &BoundaryDialog::orientationLeft);
    connect(m_orientation, &QComboBox::activated, this, &BoundaryDialog::orientationLeft);
    for (std::size_t i = 0; i < kGradientSteps.size(); ++i)
        m_gradient->addItem(qt(GetText("IDS_GRADIENT+" + std::to_string(i))));
    m_gradient->setCurrentIndex(editor.gradientIndex());
    connect(m_gradient, &QComboBox::activated, this,
            [this](int index) { m_editor.setGradientIndex(index); });
    m_unheated->setChecked(editor.neighbourUnheated());
    connect(m_unheated, &QCheckBox::toggled, this,
            [this](bool on) { m_editor.setNeighbourUnheated(on); });
    for (int i = 0; i < 3; ++i)
        m_sunFactor->addItem(qt(GetText("IDS_SUNFACTOR+" + std::to_string(i))));
    m_sunFactor->setCurrentIndex(editor.sunFactor());
    connect(m_sunFactor, &QComboBox::activated, this,
            [this](int index) { m_editor.setSunFactor(index); });
    for (auto [caption, widget] :
         {std::pair<QWidget*, QWidget*>{m_orientationCaption, m_orientation},
          {m_gradientCaption, m_gradient},
          {m_sunFactorCaption, m_sunFactor}}) {
        grid->addWidget(caption, row, 0);
        grid->addWidget(widget, row++, 1);
    }
    grid->addWidget(m_unheated, row++, 1);

    connect(m_glazing, &QPushButton::clicked, this, [this] {
        if (!m_languages || !m_settings)
            return;
        if (const auto coefficients = GlazingTableDialog::choose(this, *m_languages, *m_settings)) {
            m_editor.takeGlazingCoefficient(coefficients->first);
            m_numbers.find(field(BoundaryField::k))->show(m_editor.value(BoundaryField::k));
        }
    });
    connect(m_infiltration, &QPushButton::clicked, this, [this] {
        if (!m_languages || !m_settings)
            return;
        if (const auto factor = InfiltrationDialog::choose(this, *m_languages, m_settings)) {
            m_editor.takeInfiltrationFactor(*factor);
            m_numbers.find(field(BoundaryField::InfiltrationFactor))
                ->show(m_editor.value(BoundaryField::InfiltrationFactor));
        }
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_glazing);
    buttons->addWidget(m_infiltration);
    buttons->addStretch();

    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->addWidget(okCancelButtons(this));
    showKind();
}

void BoundaryDialog::showKind() {
    for (const FieldView& view : kFieldViews) {
        const bool shown = m_editor.reads(view.field);
        m_fields[view.field]->setVisible(shown);
        m_captions[view.field]->setVisible(shown);
    }
    m_captions[BoundaryField::MinA]->setText(qt(
        GetText(m_editor.deductionIsSurface() ? "IDS_SURFACE" : "IDS_SURFACEDECREMENT") + " [m²]"));
    m_numbers.find(field(BoundaryField::MinA))->show(m_editor.value(BoundaryField::MinA));
    const bool orientation = m_editor.readsOrientation();
    for (QWidget* widget :
         {static_cast<QWidget*>(m_orientation), static_cast<QWidget*>(m_gradient),
          static_cast<QWidget*>(m_orientationCaption), static_cast<QWidget*>(m_gradientCaption)})
        widget->setVisible(orientation);
    m_unheated->setVisible(m_editor.readsNeighbour());
    m_sunFactor->setVisible(m_editor.readsSunFactor());
    m_sunFactorCaption->setVisible(m_editor.readsSunFactor());
    const bool tables = m_languages != nullptr && m_settings != nullptr &&
                        m_editor.dialog() == BoundaryDialogKind::Full;
    m_glazing->setVisible(tables && boundarykind::isGlazed(m_editor.kind()));
    m_infiltration->setVisible(tables && m_editor.reads(BoundaryField::InfiltrationFactor));
    adjustSize();
}

void BoundaryDialog::showEvent(QShowEvent* event) {
    showKind();
    QDialog::showEvent(event);
}

void BoundaryDialog::orientationLeft() {
    const std::string typed = m_orientation->currentText().toStdString();
    if (const std::optional<std::string> refusal = m_editor.setOrientation(typed)) {
        showProblem(m_status, *refusal);
        return;
    }
    m_status->clear();
    m_orientation->setEditText(qt(orientationText(m_editor.orientation())));
}

void BoundaryDialog::accept() {
    if (!m_numbers.takeAll())
        return;
    if (m_editor.readsOrientation()) {
        if (const std::optional<std::string> refusal =
                m_editor.setOrientation(m_orientation->currentText().toStdString())) {
            showProblem(m_status, *refusal);
            m_orientation->setFocus();
            return;
        }
    }
    if (const std::optional<std::string> refusal = m_editor.accept()) {
        showProblem(m_status, *refusal);
        return;
    }
    QDialog::accept();
}

} // namespace kalydor::gui
