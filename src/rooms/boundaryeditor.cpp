#include "rooms/boundaryeditor.h"

#include "base/error.h"
#include "base/parsenumber.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kalydor {
namespace {

using namespace boundarykind;

// The float member behind each field but the count.
float Boundary::*memberOf(BoundaryField field) {
    switch (field) {
    case BoundaryField::x:
        return &Boundary::x;
    case BoundaryField::y:
        return &Boundary::y;
    case BoundaryField::MinA:
        return &Boundary::MinA;
    case BoundaryField::db:
        return nullptr;
    case BoundaryField::OverTempWinter:
        return &Boundary::OverTempWinter;
    case BoundaryField::Tetap:
        return &Boundary::Tetap;
    case BoundaryField::FloorOverTemp:
        return &Boundary::FloorOverTemp;
    case BoundaryField::k:
        return &Boundary::k;
    case BoundaryField::InfiltrationFactor:
        return &Boundary::InfiltrationFactor;
    case BoundaryField::InfiltrationLength:
        return &Boundary::InfiltrationLength;
    case BoundaryField::OpeningRate:
        return &Boundary::OpeningRate;
    case BoundaryField::OutsideLength:
        return &Boundary::OutsideLength;
    case BoundaryField::InsideLength:
        return &Boundary::InsideLength;
    case BoundaryField::Mass:
        return &Boundary::Mass;
    case BoundaryField::HeatMass:
        return &Boundary::HeatMass;
    case BoundaryField::DampFactor:
        return &Boundary::DampFactor;
    case BoundaryField::Delay:
        return &Boundary::Delay;
    case BoundaryField::InSideAlpha:
        return &Boundary::InSideAlpha;
    case BoundaryField::GlassRatio:
        return &Boundary::GlassRatio;
    case BoundaryField::Massivitate:
        return &Boundary::Massivitate;
    case BoundaryField::ms:
        return &Boundary::ms;
    case BoundaryField::ns:
        return &Boundary::ns;
    case BoundaryField::Rbc:
        return &Boundary::Rbc;
    }
    return nullptr;
}

constexpr std::size_t indexOf(BoundaryField field) {
    return static_cast<std::size_t>(field);
}

// A count or angle typed with a fraction keeps its whole part; it must fit the stored word.
FieldRule wholeWord(std::optional<NumberLimit> low) {
    FieldRule rule = FieldRule::wholeBetween(std::numeric_limits<std::int16_t>::min(),
                                             std::numeric_limits<std::int16_t>::max());
    rule.whole = FieldRule::Whole::FractionDropped;
    if (low)
        rule.low = low;
    return rule;
}

} // namespace

BoundaryEditor::BoundaryEditor(Boundary boundary, BoundaryDialogKind dialog,
                               std::int16_t buildingCompass)
    : m_boundary(std::move(boundary))
    , m_dialog(dialog)
    , m_buildingCompass(buildingCompass)
    , m_kind(m_boundary.Type)
    , m_compass(m_boundary.Compass)
    , m_gradient(m_boundary.Gradient)
    , m_overSideType(m_boundary.OverSideType)
    , m_sunFactor(m_boundary.SunFactor) {
    for (int i = 0; i < kBoundaryFieldCount; ++i) {
        const auto field = static_cast<BoundaryField>(i);
        if (field == BoundaryField::db)
            m_values[indexOf(field)] = m_boundary.db;
        else
            m_values[indexOf(field)] = static_cast<double>(m_boundary.*memberOf(field));
    }
    // The deduction box of a bridge holds its surface.
    if (isBridge(m_kind))
        m_values[indexOf(BoundaryField::MinA)] = m_boundary.GrossArea;
}

BoundaryDialogKind BoundaryEditor::dialogFor(int kind) {
    if (isBridge(kind))
        return BoundaryDialogKind::Bridge;
    return kind == kFloor ? BoundaryDialogKind::Full : BoundaryDialogKind::Wall;
}

const std::vector<int>& BoundaryEditor::offeredKinds() {
    static const std::vector<int> kinds = {0,  1,  2,  3,  4,  5,  6,  7, 8,
                                           10, 11, 12, 13, 14, 15, 16, 17};
    return kinds;
}

bool BoundaryEditor::isOffered(int kind) const {
    const std::vector<int>& kinds = offeredKinds();
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

void BoundaryEditor::setKind(int kind) {
    if (m_dialog != BoundaryDialogKind::Full || !isOffered(kind))
        return;
    // The deduction box changes its meaning between a bridge and the other kinds.
    if (isBridge(kind) != isBridge(m_kind))
        m_values[indexOf(BoundaryField::MinA)] =
            isBridge(kind) ? m_boundary.GrossArea : m_boundary.MinA;
    m_kind = kind;
}

bool BoundaryEditor::reads(BoundaryField field) const {
    const int t = m_kind;
    switch (m_dialog) {
    case BoundaryDialogKind::Bridge:
        return field == BoundaryField::x || field == BoundaryField::MinA;
    case BoundaryDialogKind::Wall:
        return field == BoundaryField::x || field == BoundaryField::y ||
               field == BoundaryField::db || field == BoundaryField::MinA ||
               (field == BoundaryField::OverTempWinter && isInside(t));
    case BoundaryDialogKind::Full:
        break;
    }
    switch (field) {
    case BoundaryField::x:
    case BoundaryField::MinA:
    case BoundaryField::db:
    case BoundaryField::k:
        return true;
    case BoundaryField::y:
        return !isBridge(t);
    case BoundaryField::OverTempWinter:
        return isInside(t);
    case BoundaryField::Tetap:
    case BoundaryField::FloorOverTemp:
    case BoundaryField::OutsideLength:
    case BoundaryField::InsideLength:
    case BoundaryField::ms:
    case BoundaryField::ns:
    case BoundaryField::Rbc:
        return t == kFloor;
    case BoundaryField::InfiltrationFactor:
    case BoundaryField::InfiltrationLength:
        return isLeaky(t);
    case BoundaryField::OpeningRate:
        return isDoor(t);
    case BoundaryField::Mass:
    case BoundaryField::HeatMass:
    case BoundaryField::DampFactor:
    case BoundaryField::Delay:
    case BoundaryField::InSideAlpha:
        return isOpaque(t);
    case BoundaryField::GlassRatio:
        return isOutsideGlazing(t);
    case BoundaryField::Massivitate:
        // The loss of every kind that is neither inside nor the floor on the ground carries
        // it.
        return !isInside(t) && t != kFloor && isOffered(t);
    }
    return false;
}

bool BoundaryEditor::readsOrientation() const {
    return m_dialog != BoundaryDialogKind::Bridge && isOutside(m_kind);
}

bool BoundaryEditor::readsNeighbour() const {
    return m_dialog != BoundaryDialogKind::Bridge && isInside(m_kind);
}

bool BoundaryEditor::readsSunFactor() const {
    return m_dialog == BoundaryDialogKind::Full && isOutsideGlazing(m_kind);
}

bool BoundaryEditor::deductionIsSurface() const {
    return isBridge(m_kind);
}

FieldRule BoundaryEditor::rule(BoundaryField field) const {
    const NumberLimit zero{0, true};
    if (m_dialog != BoundaryDialogKind::Full) {
        // The short dialogs take measures only, none below 0.
        if (field == BoundaryField::db)
            return wholeWord(zero);
        return FieldRule::of(NumberRule::NotNegative);
    }
    switch (field) {
    case BoundaryField::db:
        return wholeWord(std::nullopt);
    case BoundaryField::x:
    case BoundaryField::y:
    case BoundaryField::MinA:
    case BoundaryField::OverTempWinter:
    case BoundaryField::Tetap:
    case BoundaryField::FloorOverTemp:
        return FieldRule::of(NumberRule::Any);
    case BoundaryField::Massivitate:
    case BoundaryField::ms:
    case BoundaryField::ns:
    case BoundaryField::Rbc:
        return FieldRule::of(NumberRule::Positive);
    default:
        return FieldRule::of(NumberRule::NotNegative);
    }
}

double BoundaryEditor::value(BoundaryField field) const {
    return m_values[indexOf(field)];
}

NumberField::Outcome BoundaryEditor::type(BoundaryField field, std::string_view text) {
    NumberField number("", rule(field));
    number.show(value(field));
    NumberField::Outcome outcome = number.leave(text);
    if (outcome.kind == NumberField::Outcome::Kind::Taken)
        m_values[indexOf(field)] =
            field == BoundaryField::db ? std::trunc(number.value()) : number.value();
    return outcome;
}

std::vector<std::int16_t> BoundaryEditor::orientations() const {
    // The choices follow the building: its orientation rounded to the nearest of the eight
    // compass directions gives the offset of the first choice from north.
    int start = (m_buildingCompass + 22) % 360;
    if (start < 0)
        start += 360;
    const int a = start % 45 - 22;
    std::vector<std::int16_t> angles;
    for (int i = 0; i < 8; ++i)
        angles.push_back(static_cast<std::int16_t>(a + 45 * i));
    return angles;
}

std::optional<std::string> BoundaryEditor::setOrientation(std::string_view text) {
    double angle = 0;
    try {
        angle = std::trunc(ParseNumber(text, NumberRule::Any));
    } catch (const Error& error) {
        return error.text();
    }
    if (angle < std::numeric_limits<std::int16_t>::min() ||
        angle > std::numeric_limits<std::int16_t>::max())
        return Error("IDS_WRONGVALUE").text();
    m_compass = static_cast<std::int16_t>(angle);
    return std::nullopt;
}

int BoundaryEditor::gradientIndex() const {
    Boundary probe;
    probe.Gradient = m_gradient;
    return probe.gradientIndex();
}

void BoundaryEditor::setGradientIndex(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < kGradientSteps.size())
        m_gradient = kGradientSteps[static_cast<std::size_t>(index)];
}

void BoundaryEditor::setSunFactor(int option) {
    if (option >= 0 && option <= 2)
        m_sunFactor = static_cast<std::int16_t>(option);
}

void BoundaryEditor::takeGlazingCoefficient(double dayCoefficient) {
    if (!(dayCoefficient > 0) || !std::isfinite(dayCoefficient))
        return;
    m_values[indexOf(BoundaryField::k)] = 1.0 / dayCoefficient;
}

void BoundaryEditor::takeInfiltrationFactor(double factor) {
    if (std::isfinite(factor) && factor >= 0)
        m_values[indexOf(BoundaryField::InfiltrationFactor)] = factor;
}

std::optional<std::string> BoundaryEditor::accept() {
    if (m_dialog == BoundaryDialogKind::Full && !isOffered(m_kind))
        return Error("IDS_NOPANELTYPEERR").text();
    Boundary& b = m_boundary;
    b.Type = static_cast<std::uint8_t>(m_kind);
    for (int i = 0; i < kBoundaryFieldCount; ++i) {
        const auto field = static_cast<BoundaryField>(i);
        if (!reads(field))
            continue;
        const double v = m_values[indexOf(field)];
        if (field == BoundaryField::db)
            b.db = static_cast<std::int16_t>(v);
        else if (field == BoundaryField::MinA && isBridge(m_kind))
            b.GrossArea = static_cast<float>(v);
        else
            b.*memberOf(field) = static_cast<float>(v);
    }
    if (readsOrientation()) {
        b.Compass = m_compass;
        b.Gradient = m_gradient;
    }
    if (readsNeighbour())
        b.OverSideType = m_overSideType;
    if (readsSunFactor())
        b.SunFactor = m_sunFactor;
    // Every thermal value of the kind has now been offered to the user.
    if (m_dialog == BoundaryDialogKind::Full)
        b.MissingThermalValues = false;
    return std::nullopt;
}

} // namespace kalydor
