#pragma once

#include <cmath>

namespace import {

// The largest price, quantity or turnover an imported file may bring: far
// above any real one, and small enough that the sums and products the queries
// make of such figures stay finite.
inline constexpr double kLargestFigure = 1e15;

// Whether `value` can be a price, a quantity or a turnover: a finite number
// from 0 to kLargestFigure.
inline bool isMarketFigure(double value)
{
    return std::isfinite(value) && value >= 0 && value <= kLargestFigure;
}

}  // namespace import
