#pragma once

#include "viewer/chartdata.h"

QT_BEGIN_NAMESPACE
class QChart;
class QPieSlice;
QT_END_NAMESPACE

// The 2D chart types on Qt Charts: bars, lines and the pie, with the plot's
// border, shadow and wall, round value ticks with grouped labels, category
// labels thinned or turned to stay readable, and a pie that keeps its
// smallest slices together when there are many.
namespace viewer {

// The chart of a 2D type for `data`, `width` pixels wide (the category
// labels are planned for that width). The caller owns it.
QChart* buildChart2D(const ChartData& data, const ChartLook& look, double width);

// The category a pie slice stands for, or -1 for the slice of the rest.
int pieSliceCategory(const QPieSlice* slice);

// A pie shows this many slices at most; the smallest of more are joined.
inline constexpr int kMostPieSlices = 12;

}  // namespace viewer
