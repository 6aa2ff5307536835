// The arithmetic of axis ranges and ticks: default and nice ranges, tick
// steps, and the tick values between the ends. Every loop here is bounded:
// a range whose ends are equal, reversed, NaN or infinite is mended before
// ticks are made, and a step that would give more than kMaxTicks ticks
// gives none.
#pragma once

#include <vector>

namespace AxisScale {

inline constexpr int kMaxTicks = 2000;

// Linear 0 to 10, logarithmic 1 to 10.
void DefaultRange(bool logarithmic, double& min, double& max);
// Pads the data range by 5 % and rounds it to steps that read well.
void MakeNiceRange(bool logarithmic, double& min, double& max);
// The major and minor steps and the origin of the ticks for a range.
void ChooseTickSteps(bool logarithmic, double min, double max, double& major, double& minor, double& origin);
// Mends a range that cannot be drawn: ends that are not finite (or, on a
// logarithmic axis, not above 0) give the default range; equal or reversed
// ends are widened. True when something changed.
bool MendRange(bool logarithmic, double& min, double& max);
// The tick values of one step between min and max (major ticks; on a
// logarithmic axis the step is a factor above 1). Empty for a range or
// step that cannot be walked.
std::vector<double> MajorTicks(bool logarithmic, double min, double max, double step);
// The minor ticks that are not major ticks.
std::vector<double> MinorTicks(bool logarithmic, double min, double max, double major, double minor);

} // namespace AxisScale
