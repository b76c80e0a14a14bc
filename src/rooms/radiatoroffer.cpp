#include "rooms/radiatoroffer.h"

#include "base/error.h"
#include "base/parsenumber.h"
#include "devicedb/deviceitem.h"
#include "rooms/room.h"

#include <cmath>
#include <set>

namespace kalydor {

RadiatorOffer::RadiatorOffer(const RadiatorFamily& family, const OfferInputs& inputs,
                             SizeChoiceOptions choice)
    : m_family(family)
    , m_inputs(inputs)
    , m_choice(choice) {
    if (inputs.count < 1 || inputs.count > 999)
        throw Error("IDS_WRONGVALUE");
    m_ratio = ThermalRatio(family, inputs.forward, inputs.backward, inputs.ti);
    m_demandEach = static_cast<double>(inputs.demand) / inputs.count;
    const std::vector<std::vector<std::string>>& lists = family.DimensionLists;
    // A family of a single list has no main types to lay out: one empty cell.
    if (lists.size() < 2) {
        m_rowTitles = {"-"};
        m_columnTitles = {"-"};
        return;
    }
    if (inputs.dataSheet) {
        m_rowTitles = lists.back();
        m_columnTitles = lists.size() >= 3 ? lists[1] : lists[0];
        return;
    }
    for (std::size_t i = 0; i < lists[0].size(); ++i) {
        if (inputs.firstDimension && static_cast<int>(i) != *inputs.firstDimension)
            continue;
        m_rowTitles.push_back(lists[0][i]);
        m_rowIndex.push_back(static_cast<int>(i));
    }
    m_columnTitles = lists.size() >= 3 ? lists[1] : std::vector<std::string>{"-"};
}

std::optional<int> RadiatorOffer::mainTypeOf(int row, int column) const {
    const std::size_t lists = m_family.DimensionLists.size();
    if (lists < 2)
        return std::nullopt;
    int mainType = -1;
    if (m_inputs.dataSheet) {
        // Three lists and no first-dimension choice: its first entry.
        mainType = lists >= 3 ? m_family.MainTypeAt(m_inputs.firstDimension.value_or(0), column)
                              : m_family.MainTypeAt(column);
    } else {
        const int first = m_rowIndex[static_cast<std::size_t>(row)];
        mainType = lists >= 3 ? m_family.MainTypeAt(first, column) : m_family.MainTypeAt(first);
    }
    if (mainType < 0)
        return std::nullopt;
    return mainType;
}

OfferCell RadiatorOffer::cell(int row, int column) const {
    OfferCell empty{std::nullopt, std::string(kEmptyCell)};
    if (row < 0 || row >= rows() || column < 0 || column >= columns())
        return empty;
    const std::optional<int> mainType = mainTypeOf(row, column);
    if (!mainType)
        return empty;
    // A size range beyond the sizes (unchecked data) gives no size.
    const int size = m_inputs.dataSheet ? ChooseSizeAt(m_family, *mainType, row)
                                        : ChooseSize(m_family, *mainType, m_ratio, m_demandEach,
                                                     m_inputs.factor, m_choice);
    if (size < 0 || static_cast<std::size_t>(size) >= m_family.Sizes.size())
        return empty;
    return {size, sizeText(m_family.Sizes[static_cast<std::size_t>(size)])};
}

std::string RadiatorOffer::sizeText(const RadiatorSize& size) const {
    const double power = SizePower(size, m_ratio, m_inputs.factor);
    const std::string code = (size.Current == 1 ? "g:" : "r:") + size.Name;
    // The output is marked when it misses the demand of one radiator by more than a fifth.
    const bool far = m_demandEach > 0 && std::fabs(power - m_demandEach) > 0.2 * m_demandEach;
    const std::string output =
        (far ? "r:" : "") + std::to_string(static_cast<long long>(std::llround(power))) + " W";
    return code + "\n" + output + "\n" + std::to_string(size.Length) + "x" +
           std::to_string(size.Height) + "x" + std::to_string(size.Width);
}

std::optional<Radiator> RadiatorOffer::radiatorOf(const OfferCell& cell) const {
    if (!cell.size)
        return std::nullopt;
    const RadiatorSize& size = m_family.Sizes[static_cast<std::size_t>(*cell.size)];
    Radiator radiator;
    radiator.SetFromChoice(m_family.Name, size.Name, m_inputs.factor,
                           SizePower(size, m_ratio, m_inputs.factor), m_inputs.forward,
                           m_inputs.backward, size.Length, size.Height, size.Width);
    return radiator;
}

int readRadiatorCount(std::string_view text) {
    const double count = ParseNumber(text, NumberRule::Positive);
    if (count != std::trunc(count) || count > 999)
        throw Error("IDS_WRONGVALUE");
    return static_cast<int>(count);
}

std::vector<std::string> AddFromOffer(Room& room, const Radiator& radiator, int count) {
    std::vector<std::string> marks;
    for (int n = 0; n < count; ++n) {
        std::set<std::string> taken;
        for (const Radiator& each : room.Radiators)
            taken.insert(each.Mark);
        int mark = 1;
        while (taken.count(std::to_string(mark)) != 0)
            ++mark;
        Radiator copy = radiator;
        copy.Mark = std::to_string(mark);
        room.Radiators.push_back(std::move(copy));
        marks.push_back(std::to_string(mark));
    }
    return marks;
}

bool ChangeFromOffer(Room& room, std::size_t index, Radiator radiator) {
    if (index >= room.Radiators.size())
        return false;
    radiator.Mark = room.Radiators[index].Mark;
    room.Radiators[index] = std::move(radiator);
    return true;
}

} // namespace kalydor
