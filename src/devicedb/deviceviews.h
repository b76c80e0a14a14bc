#pragma once

#include <array>
#include <string>
#include <vector>

namespace kalydor {

class RadiatorFamily;
class PieceList;

/// The temperatures a family is shown at, °C: room, return and forward.
struct ViewTemperatures {
    double room = 20;
    double back = 70;
    double forward = 90;
};

/// One row of the family view: name, output at the view's temperatures (whole watts), surface
/// (3 decimals), water content and exponent (2 decimals), "+" or "-" for a commonly stocked
/// size, length, height, depth and estimate code. Numbers use the language's separator.
using FamilyViewRow = std::array<std::string, 10>;

/// The rows of the sizes of one main type. Temperatures that do not fit raise
/// "IDS_DTLOGERROR"; a main type outside the family gives no rows.
std::vector<FamilyViewRow> familyViewRows(const RadiatorFamily& family, int mainType,
                                          const ViewTemperatures& temperatures);

/// One row of the piece-list view: name, the type keyword, quantity, the size text (the
/// language's "IDS_NUMBEROFPIECES" when it has none) and estimate code.
using PieceListViewRow = std::array<std::string, 5>;
std::vector<PieceListViewRow> pieceListViewRows(const PieceList& list);

} // namespace kalydor
