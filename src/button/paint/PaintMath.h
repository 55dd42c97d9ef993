#pragma once

// Numeric conversions of the forms runtime the button's drawing is written
// against. Coordinates only come out right when these are followed exactly:
// a fractional value becomes an integer by rounding to nearest with halves
// to even, and `\` rounds both operands that way before dividing toward zero.

#include <cmath>
#include <cstdint>

namespace kxpaint {

// Nearest integer, halves to even (0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -2.5 -> -2).
inline std::int32_t whole(double v)
{
    return static_cast<std::int32_t>(std::nearbyint(v));
}

inline std::int32_t whole(float v)
{
    return static_cast<std::int32_t>(std::nearbyint(v));
}

// Integer division `\` of two whole numbers: truncates toward zero.
inline std::int32_t idiv(std::int32_t a, std::int32_t b)
{
    return a / b;
}

// RGB channel access for 0x00BBGGRR colours.
inline std::int32_t redOf(std::int32_t c) { return c & 0xFF; }
inline std::int32_t greenOf(std::int32_t c) { return (c >> 8) & 0xFF; }
inline std::int32_t blueOf(std::int32_t c) { return (c >> 16) & 0xFF; }

} // namespace kxpaint
