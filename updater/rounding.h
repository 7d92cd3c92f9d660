// Rounding as the updater's percentages, bar positions and rates round: to
// the nearest whole number with ties to even, and to two decimals with halves
// away from zero (the "0.00" format pattern).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace zem::updater {

inline double RoundToEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5) return floor + 1;
    if (fraction < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

inline double RoundToTwoDecimals(double value) { return std::round(value * 100) / 100; }

// A whole number as a 32-bit integer; nothing when it lies beyond that range
// (the overflow that skips the statement computing it).
inline std::optional<std::int32_t> WholeToInt32(double whole) {
    if (!(whole >= std::numeric_limits<std::int32_t>::min() && whole <= std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(whole);
}

}  // namespace zem::updater
