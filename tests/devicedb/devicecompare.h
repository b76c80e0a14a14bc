#pragma once

#include "devicedb/deviceitem.h"

#include <gtest/gtest.h>

namespace kalydor::test {

// Field by field, so that a failure names the field.
inline void expectSameHeader(const DeviceItem& actual, const DeviceItem& expected) {
    EXPECT_EQ(actual.kind(), expected.kind());
    EXPECT_EQ(actual.Name, expected.Name);
    EXPECT_EQ(actual.Path, expected.Path);
    EXPECT_EQ(actual.Date, expected.Date);
    EXPECT_EQ(actual.HomePage, expected.HomePage);
}

inline void expectSameFamily(const RadiatorFamily& actual, const RadiatorFamily& expected) {
    expectSameHeader(actual, expected);
    EXPECT_EQ(actual.DTLog, expected.DTLog);
    EXPECT_EQ(actual.DTOrigin, expected.DTOrigin);
    EXPECT_EQ(actual.DimensionLists, expected.DimensionLists);
    EXPECT_EQ(actual.MainTypes, expected.MainTypes);
    EXPECT_EQ(actual.Sizes, expected.Sizes);
}

inline void expectSamePieceList(const PieceList& actual, const PieceList& expected) {
    expectSameHeader(actual, expected);
    EXPECT_EQ(actual.Lines, expected.Lines);
}

} // namespace kalydor::test
