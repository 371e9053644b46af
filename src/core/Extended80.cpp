#include "core/Extended80.h"

#include <bit>
#include <cmath>

namespace {

constexpr uint64_t DoubleFractionMask = (uint64_t{1} << 52) - 1;
constexpr uint64_t IntegerBit = uint64_t{1} << 63;
constexpr int ExtendedBias = 16383;
constexpr int DoubleBias = 1023;

TExtended80 Pack(bool negative, uint16_t exponent, uint64_t significand) {
    TExtended80 out{};
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<uint8_t>(significand >> (8 * i));
    const uint16_t signAndExponent = static_cast<uint16_t>((negative ? 0x8000 : 0) | exponent);
    out[8] = static_cast<uint8_t>(signAndExponent);
    out[9] = static_cast<uint8_t>(signAndExponent >> 8);
    return out;
}

// Rounds value >> shift to nearest, ties to even (shift from 1 to 64).
uint64_t ShiftRounded(uint64_t value, int shift) {
    const uint64_t kept = shift >= 64 ? 0 : value >> shift;
    const uint64_t rest = shift >= 64 ? value : value & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (kept & 1) != 0))
        return kept + 1;
    return kept;
}

double WithSign(bool negative, uint64_t magnitudeBits) {
    return std::bit_cast<double>(magnitudeBits | (negative ? IntegerBit : 0));
}

} // namespace

TExtended80 DoubleToExtended80(double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & DoubleFractionMask;

    if (exponent == 0x7FF) // infinity keeps a zero fraction, a NaN its payload
        return Pack(negative, 0x7FFF, IntegerBit | (fraction << 11));
    if (exponent == 0) {
        if (fraction == 0)
            return Pack(negative, 0, 0);
        // A subnormal double is a normal extended number: move its top bit to bit 63.
        const int leadingZeros = std::countl_zero(fraction);
        const int unbiased = -DoubleBias - (leadingZeros - 12);
        return Pack(negative, static_cast<uint16_t>(unbiased + ExtendedBias),
                    fraction << leadingZeros);
    }
    return Pack(negative, static_cast<uint16_t>(exponent - DoubleBias + ExtendedBias),
                IntegerBit | (fraction << 11));
}

double Extended80ToDouble(const TExtended80& bytes) {
    uint64_t significand = 0;
    for (int i = 7; i >= 0; --i)
        significand = (significand << 8) | bytes[i];
    const uint16_t signAndExponent = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
    const bool negative = (signAndExponent & 0x8000) != 0;
    const int exponent = signAndExponent & 0x7FFF;

    if (exponent == 0x7FFF) {
        if ((significand << 1) == 0)
            return WithSign(negative, uint64_t{0x7FF} << 52);
        const uint64_t payload = (significand >> 11) & DoubleFractionMask;
        return WithSign(negative, (uint64_t{0x7FF} << 52) | payload | (uint64_t{1} << 51));
    }
    if (significand == 0)
        return WithSign(negative, 0);

    // The value is significand * 2^(exponent - 16383 - 63), exponent 0 counting as 1;
    // the integer bit need not be set (denormals and unnormals), so normalise first.
    const int leadingZeros = std::countl_zero(significand);
    significand <<= leadingZeros;
    int unbiased = (exponent == 0 ? 1 : exponent) - ExtendedBias - leadingZeros;

    if (unbiased > DoubleBias)
        return WithSign(negative, uint64_t{0x7FF} << 52);
    if (unbiased >= 1 - DoubleBias) {
        uint64_t kept = ShiftRounded(significand, 11);
        if (kept >> 53) { // rounding carried into a new top bit
            kept >>= 1;
            ++unbiased;
            if (unbiased > DoubleBias)
                return WithSign(negative, uint64_t{0x7FF} << 52);
        }
        return WithSign(negative, (static_cast<uint64_t>(unbiased + DoubleBias) << 52) |
                                      (kept & DoubleFractionMask));
    }
    // Subnormal result: the fraction holds value / 2^-1074. A carry into bit 52 gives the
    // smallest normal number, which the same bit pattern encodes.
    const int shift = 11 + (1 - DoubleBias - unbiased);
    if (shift > 64)
        return WithSign(negative, 0);
    return WithSign(negative, ShiftRounded(significand, shift));
}
