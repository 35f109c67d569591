// Dialog units and points in the window layer's pixels: how a template is laid out and lettered.
#pragma once

// Private to the window layer.

#include <QtGlobal>

#include <cmath>

// The 8-point dialog font's average character width and height.
inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;
// Points are 1/72 inch; the window layer's pixels are 1/96 inch.
inline constexpr int kPixelsPerInch = 96;
inline constexpr int kPointsPerInch = 72;

// value * numerator / denominator, rounded to nearest with halves away from
// zero, so that a unit and its mirror image map to the same size.
inline int MulDivRound(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    const long long q =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(q);
}

// Dialog units in device pixels at the given pixel ratio, rounded to nearest
// with halves away from zero like MulDivRound.
inline int UnitsToPixelsX(int units, qreal ratio)
{
    return static_cast<int>(std::lround(units * kBaseUnitX * ratio / 4));
}

inline int UnitsToPixelsY(int units, qreal ratio)
{
    return static_cast<int>(std::lround(units * kBaseUnitY * ratio / 8));
}
