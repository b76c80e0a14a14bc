#include "devicedb/deviceviews.h"

#include "base/displayformat.h"
#include "base/numberformat.h"
#include "base/textlookup.h"
#include "devicedb/deviceitem.h"
#include "devicedb/radiatorsizing.h"

namespace kalydor {
namespace {

std::string fixed(double value, int decimals) {
    return withDecimalSeparator(formatFixed(value, decimals, 15), displayDecimalSeparator());
}

} // namespace

std::vector<FamilyViewRow> familyViewRows(const RadiatorFamily& family, int mainType,
                                          const ViewTemperatures& t) {
    std::vector<FamilyViewRow> rows;
    const double ratio = ThermalRatio(family, t.forward, t.back, t.room);
    if (mainType < 0 || static_cast<std::size_t>(mainType) >= family.MainTypes.size())
        return rows;
    const RadiatorMainType& type = family.MainTypes[static_cast<std::size_t>(mainType)];
    for (int i = 0; i < type.SizeCount; ++i) {
        const RadiatorSize& size = family.Sizes[static_cast<std::size_t>(type.FirstSize + i)];
        rows.push_back({size.Name, fixed(SizePower(size, ratio, 1.0), 0), fixed(size.Surface, 3),
                        fixed(size.Volume, 2), fixed(size.Exponent, 2), size.Current ? "+" : "-",
                        std::to_string(size.Length), std::to_string(size.Height),
                        std::to_string(size.Width), size.EstimateCode});
    }
    return rows;
}

std::vector<PieceListViewRow> pieceListViewRows(const PieceList& list) {
    std::vector<PieceListViewRow> rows;
    for (const PieceListLine& line : list.Lines) {
        rows.push_back(
            {line.Name, std::string(pieceTypeKeyword(line.Type)), displayNumber(line.Quantity, 6),
             line.DimensionString.empty() ? GetText("IDS_NUMBEROFPIECES") : line.DimensionString,
             line.EstimateCode});
    }
    return rows;
}

} // namespace kalydor
