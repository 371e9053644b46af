#pragma once

#include <array>
#include <cstdint>

// The 80-bit extended-precision format of the settings file, built bit by bit so that it
// does not depend on what long double is on the compiler at hand: bytes 0-7 the 64-bit
// significand with its explicit integer bit (bit 63), bytes 8-9 the 15-bit exponent biased
// by 16383 with the sign in bit 15, little-endian.
using TExtended80 = std::array<uint8_t, 10>;

// Exact: every double, infinities and NaNs included, has an extended form.
TExtended80 DoubleToExtended80(double value);

// Rounds the significand to the nearest double (ties to even); values beyond the double
// range become infinities or zero/subnormals, as a hardware conversion does.
double Extended80ToDouble(const TExtended80& bytes);
