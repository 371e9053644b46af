#include "core/Extended80.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace {

TExtended80 Ext(uint64_t significand, uint16_t signAndExponent) {
    TExtended80 e{};
    for (int i = 0; i < 8; ++i)
        e[i] = static_cast<uint8_t>(significand >> (8 * i));
    e[8] = static_cast<uint8_t>(signAndExponent);
    e[9] = static_cast<uint8_t>(signAndExponent >> 8);
    return e;
}

} // namespace

TEST(SettingExtended, KnownEncodings) {
    EXPECT_EQ(DoubleToExtended80(1.0), Ext(0x8000000000000000, 0x3FFF));
    EXPECT_EQ(DoubleToExtended80(0.0), Ext(0, 0));
    EXPECT_EQ(DoubleToExtended80(-0.0), Ext(0, 0x8000));
    EXPECT_EQ(DoubleToExtended80(-2.5), Ext(0xA000000000000000, 0xC000));
    EXPECT_EQ(DoubleToExtended80(39613.5), Ext(0x9ABD800000000000, 0x400E));
    EXPECT_EQ(DoubleToExtended80(std::numeric_limits<double>::infinity()),
              Ext(0x8000000000000000, 0x7FFF));
    // The smallest subnormal double, 2^-1074, is a normal extended number.
    EXPECT_EQ(DoubleToExtended80(std::numeric_limits<double>::denorm_min()),
              Ext(0x8000000000000000, 16383 - 1074));
}

TEST(SettingExtended, EveryDoubleRoundTripsBitForBit) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        uint64_t bits = random();
        if (i % 4 == 0)
            bits &= 0x800FFFFFFFFFFFFF; // subnormals
        const double value = std::bit_cast<double>(bits);
        if (std::isnan(value))
            continue;
        EXPECT_EQ(std::bit_cast<uint64_t>(Extended80ToDouble(DoubleToExtended80(value))), bits);
    }
    EXPECT_TRUE(std::isnan(Extended80ToDouble(DoubleToExtended80(std::nan("")))));
}

TEST(SettingExtended, WiderValuesRoundToTheNearestDouble) {
    // 1 + half an ulp ties to even (down); a hair more goes up.
    EXPECT_EQ(Extended80ToDouble(Ext(0x8000000000000400, 0x3FFF)), 1.0);
    EXPECT_EQ(Extended80ToDouble(Ext(0x8000000000000401, 0x3FFF)), std::nextafter(1.0, 2.0));
    EXPECT_EQ(Extended80ToDouble(Ext(0x8000000000000C00, 0x3FFF)), 1.0 + 2 * 0x1p-52);
    // All ones rounds up into the next power of two.
    EXPECT_EQ(Extended80ToDouble(Ext(0xFFFFFFFFFFFFFFFF, 0x3FFF)), 2.0);
    // Beyond the double range.
    EXPECT_EQ(Extended80ToDouble(Ext(0x8000000000000000, 0x7FFE)), HUGE_VAL);
    EXPECT_EQ(Extended80ToDouble(Ext(0x8000000000000000, 0x8001)), -0.0);
    EXPECT_EQ(Extended80ToDouble(Ext(0x8000000000000000, 16383 - 1075)), 0.0); // tie to even
    EXPECT_EQ(Extended80ToDouble(Ext(0xC000000000000000, 16383 - 1075)), 0x1p-1074);
    // Integer bit clear (unnormal / denormal encodings) still has its plain value.
    EXPECT_EQ(Extended80ToDouble(Ext(0x4000000000000000, 0x3FFF)), 0.5);
    EXPECT_EQ(Extended80ToDouble(Ext(0x4000000000000000, 0)), 0.0);
}
