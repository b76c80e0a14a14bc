#include "devicedb/deviceitem.h"
#include "devicedb/radiatorsizing.h"

#include "support/errorkey.h"
#include "support/radiatorfamilies.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace kalydor {
namespace {

using testing::errorKey;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ThermalRatio, RatingFormsAgainstPublishedFactors) {
    struct Case {
        const char* name;
        std::int16_t dtLog;
        float origin;
        double te, tv, ti;
        double exponent;
        double expected; // ratio^exponent
        double tolerance;
    };
    const Case cases[] = {
        // EN 442 factors at n = 1.3 against the 75/65/20 °C point (ΔT_log 49.83 K).
        {"log 70/55/20", 1, 49.83f, 70, 55, 20, 1.3, 0.802, 0.0005},
        {"log 45/35/20", 1, 49.83f, 45, 35, 20, 1.3, 0.297, 0.0005},
        {"arithmetic 70/55/20", 0, 50.0f, 70, 55, 20, 1.3, 0.810, 0.0005},
        {"arithmetic 45/35/20", 0, 50.0f, 45, 35, 20, 1.3, 0.304, 0.0005},
        // The catalogue point with the 59.44 K reference: 59.4402 / 59.44.
        {"log at 60 uses 59.44", 1, 60.0f, 90, 70, 20, 1.0, 1.0000045, 1e-5},
        // Any nonzero DTLog is the logarithmic form.
        {"DTLog 2 is set", 2, 60.0f, 90, 70, 20, 1.0, 1.0000045, 1e-5},
        // The arithmetic form never takes the 59.44 reference: (80 − 20) / 60.
        {"arithmetic at 60", 0, 60.0f, 90, 70, 20, 1.0, 1.0, 1e-12},
        // Another log rating divides by itself: 10 / ln(55/45) / 50.
        {"log 75/65/20 at 50", 1, 50.0f, 75, 65, 20, 1.0, 10 / std::log(55.0 / 45.0) / 50, 1e-12},
        {"arithmetic 62.5 K", 0, 50.0f, 70, 55, 20, 1.0, 42.5 / 50, 1e-12},
    };
    for (const Case& c : cases) {
        const RadiatorRating rating{c.dtLog, c.origin, "F"};
        EXPECT_NEAR(std::pow(ThermalRatio(rating, c.te, c.tv, c.ti), c.exponent), c.expected,
                    c.tolerance)
            << c.name;
    }
}

TEST(ThermalRatio, RefusesTemperaturesAndRatingsThatDoNotFit) {
    struct Case {
        const char* name;
        float origin;
        double te, tv, ti;
        const char* key;
    };
    const Case cases[] = {
        {"forward = return", 60, 70, 70, 20, "IDS_DTLOGERROR"},
        {"return = room", 60, 70, 20, 20, "IDS_DTLOGERROR"},
        {"crossed", 60, 60, 70, 20, "IDS_DTLOGERROR"},
        {"room above return", 60, 50, 40, 45, "IDS_DTLOGERROR"},
        {"NaN forward", 60, kNaN, 70, 20, "IDS_DTLOGERROR"},
        {"NaN room", 60, 90, 70, kNaN, "IDS_DTLOGERROR"},
        {"infinite forward", 60, kInf, 70, 20, "IDS_DTLOGERROR"},
        {"room at minus infinity", 60, 90, 70, -kInf, "IDS_DTLOGERROR"},
        {"DTOrigin 0", 0, 90, 70, 20, "IDS_RADIATORDATAERROR"},
        {"DTOrigin negative", -50, 90, 70, 20, "IDS_RADIATORDATAERROR"},
        {"DTOrigin NaN", std::numeric_limits<float>::quiet_NaN(), 90, 70, 20,
         "IDS_RADIATORDATAERROR"},
        {"DTOrigin infinite", std::numeric_limits<float>::infinity(), 90, 70, 20,
         "IDS_RADIATORDATAERROR"},
    };
    for (const Case& c : cases) {
        for (const std::int16_t dtLog : {std::int16_t{0}, std::int16_t{1}}) {
            const RadiatorRating rating{dtLog, c.origin, "F"};
            EXPECT_EQ(errorKey([&] { (void)ThermalRatio(rating, c.te, c.tv, c.ti); }), c.key)
                << c.name << " DTLog " << dtLog;
        }
    }
}

TEST(SizePower, RoundsToWholeWattsAndRefusesAbsurdData) {
    RadiatorSize size;
    size.Power = 1000;
    size.Exponent = 1.3f;
    EXPECT_EQ(SizePower(size, 1.0, 1.0), 1000.0f);
    EXPECT_EQ(SizePower(size, 1.0, 1.15), 1150.0f);
    // 0.85^1.3 × 1000 = 809.66 → 810.
    EXPECT_EQ(SizePower(size, 0.85, 1.0), 810.0f);

    const float absurd[][2] = {{1000, 1e30f},
                               {std::numeric_limits<float>::quiet_NaN(), 1.3f},
                               {std::numeric_limits<float>::infinity(), 1.3f},
                               {1000, std::numeric_limits<float>::quiet_NaN()},
                               {3e38f, 1.3f}};
    for (const auto& [power, exponent] : absurd) {
        RadiatorSize bad;
        bad.Power = power;
        bad.Exponent = exponent;
        EXPECT_EQ(errorKey([&] { (void)SizePower(bad, 2.0, 1e9); }), "IDS_RADIATORDATAERROR")
            << power << " W, n " << exponent;
    }
}

std::vector<RadiatorSize> sizesOf(std::initializer_list<std::pair<float, int>> list) {
    std::vector<RadiatorSize> sizes;
    for (const auto& [power, current] : list) {
        RadiatorSize s;
        s.Name = std::to_string(static_cast<int>(power));
        s.Power = power;
        s.Exponent = 1.0f;
        s.Current = static_cast<std::int16_t>(current);
        sizes.push_back(s);
    }
    return sizes;
}

TEST(ChooseSize, NearestFirstReachingAndCurrentSizes) {
    struct Case {
        const char* name;
        std::vector<RadiatorSize> sizes;
        double demand;
        SizeChoiceOptions options;
        int expected;
    };
    const Case cases[] = {
        {"nearest: tie keeps the earlier",
         sizesOf({{480, 0}, {520, 0}, {600, 0}}),
         500,
         {true, false},
         0},
        {"nearest: the closer later size",
         sizesOf({{400, 0}, {490, 0}, {600, 0}}),
         500,
         {true, false},
         1},
        {"reaching: first at or above",
         sizesOf({{400, 0}, {480, 0}, {520, 0}, {600, 0}}),
         500,
         {false, false},
         2},
        {"reaching: none reaches, the last",
         sizesOf({{400, 0}, {480, 0}, {520, 0}, {600, 0}}),
         700,
         {false, false},
         3},
        {"reaching: exact", sizesOf({{400, 0}, {500, 0}, {600, 0}}), 500, {false, false}, 1},
        {"nearest, only current",
         sizesOf({{400, 0}, {480, 0}, {520, 0}, {600, 1}}),
         500,
         {true, true},
         3},
        {"reaching, only current",
         sizesOf({{400, 0}, {480, 0}, {520, 0}, {600, 1}}),
         500,
         {false, true},
         3},
        {"current settled: the rest barred", sizesOf({{520, 1}, {500, 0}}), 500, {true, true}, 0},
        {"current among current: nearest",
         sizesOf({{400, 1}, {510, 1}, {600, 1}}),
         500,
         {true, true},
         1},
        {"without the setting current counts for nothing",
         sizesOf({{500, 0}, {900, 1}}),
         500,
         {true, false},
         0},
        {"no sizes", {}, 500, {true, false}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseSize(c.sizes, 1.0, c.demand, 1.0, c.options), c.expected) << c.name;
}

TEST(ChooseSize, WithinAMainTypeAndByPosition) {
    RadiatorFamily family = testing::panelTestFamily();
    // 1000 W at ratio 1: the P22 main type's 1400 W size (index 4) is nearest; its 700 W
    // size (index 3) does not reach it.
    EXPECT_EQ(ChooseSize(family, 1, 1.0, 1000, 1.0, {true, false}), 3);
    EXPECT_EQ(ChooseSize(family, 1, 1.0, 1100, 1.0, {true, false}), 4);
    EXPECT_EQ(ChooseSize(family, 1, 1.0, 1000, 1.0, {false, false}), 4);
    EXPECT_EQ(ChooseSize(family, 0, 1.0, 1000, 1.0, {false, false}), 2);
    EXPECT_EQ(ChooseSizeAt(family, 1, 2), 5);
    EXPECT_EQ(ChooseSizeAt(family, 0, 1), 1);
    EXPECT_EQ(ChooseSizeAt(family, 0, 7), -1);
    for (const int mainType : {-1, 2, 99})
        EXPECT_EQ(ChooseSize(family, mainType, 1.0, 1000, 1.0, {}), -1) << mainType;

    // Ranges read from unchecked data that leave the size list give no sizes.
    family.MainTypes[1].SizeCount = 4;
    EXPECT_EQ(ChooseSize(family, 1, 1.0, 1000, 1.0, {}), -1);
    EXPECT_EQ(ChooseSizeAt(family, 1, 0), -1);
    family.MainTypes[1].FirstSize = -1;
    family.MainTypes[1].SizeCount = 2;
    EXPECT_TRUE(sizesOfMainType(family, 1).empty());
    family.MainTypes[0].SizeCount = 0;
    EXPECT_TRUE(sizesOfMainType(family, 0).empty());
}

} // namespace
} // namespace kalydor
