#pragma once

#include "devicedb/radiatorsizing.h"
#include "heating/radiator.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalydor {

class Room;
class RadiatorFamily;

/// What the radiator page of the room dialog asks an offer for.
struct OfferInputs {
    float forward = 90;  ///< t_e, °C
    float backward = 70; ///< t_v, °C
    float factor = 1;    ///< installation factor c
    int count = 1;       ///< radiators n, 1–999
    float demand = 0;    ///< Q_req, W (all n together)
    double ti = 20;      ///< the room's inside temperature
    /// With three dimension lists: the chosen entry of the first (none: all rows; in the
    /// data-sheet mode the first entry).
    std::optional<int> firstDimension;
    bool dataSheet = false;
};

/// One cell of the offer: the size it proposes (an index into the family's sizes; none for
/// an empty cell) and its text of up to three lines, "g:" / "r:" marking green or red.
struct OfferCell {
    std::optional<int> size;
    std::string text;
};

/// The offer table of a family: rows and columns by the family's dimension lists, each cell
/// the size proposed there, computed when it is asked for.
class RadiatorOffer {
public:
    /// Checks the temperatures first ("IDS_DTLOGERROR" and the family's errors from
    /// `ThermalRatio`) so that no cell divides by a zero difference.
    RadiatorOffer(const RadiatorFamily& family, const OfferInputs& inputs,
                  SizeChoiceOptions choice);

    const std::vector<std::string>& rowTitles() const { return m_rowTitles; }
    const std::vector<std::string>& columnTitles() const { return m_columnTitles; }
    int rows() const { return static_cast<int>(m_rowTitles.size()); }
    int columns() const { return static_cast<int>(m_columnTitles.size()); }
    double ratio() const { return m_ratio; }
    /// The demand of one radiator, Q_req / n.
    double demandEach() const { return m_demandEach; }

    OfferCell cell(int row, int column) const;
    /// The text of a cell of a size (three lines) and of an empty cell.
    std::string sizeText(const RadiatorSize& size) const;
    static constexpr std::string_view kEmptyCell = " \n-";

    /// The radiator a cell offers (`SetFromChoice` with the page's temperatures and factor);
    /// none for an empty cell.
    std::optional<Radiator> radiatorOf(const OfferCell& cell) const;

private:
    std::optional<int> mainTypeOf(int row, int column) const;

    const RadiatorFamily& m_family;
    OfferInputs m_inputs;
    SizeChoiceOptions m_choice;
    double m_ratio = 0;
    double m_demandEach = 0;
    std::vector<std::string> m_rowTitles;
    std::vector<std::string> m_columnTitles;
    std::vector<int> m_rowIndex; ///< the first-list entry of each row (not in data-sheet mode)
};

/// Reads the radiator count: a whole number 1–999 ("IDS_WRONGVALUE" otherwise).
int readRadiatorCount(std::string_view text);

/// Appends `count` copies of a radiator to a room, each marked with the smallest whole number
/// no radiator of the room carries yet (after the copy before it). Gives the marks.
std::vector<std::string> AddFromOffer(Room& room, const Radiator& radiator, int count);
/// Replaces a radiator of the room by one from the offer; it keeps the replaced one's mark.
bool ChangeFromOffer(Room& room, std::size_t index, Radiator radiator);

} // namespace kalydor
