// Rounding to the nearest whole number with ties to even, as the updater's
// percentages, bar positions and rates round.
#pragma once

#include <cmath>

namespace zem::updater {

inline double RoundToEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5) return floor + 1;
    if (fraction < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

}  // namespace zem::updater
