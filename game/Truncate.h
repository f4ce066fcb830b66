#pragma once
// Float positions and scores become whole pixels and whole numbers by truncation towards
// zero. Values beyond int range (reachable only with absurd frame times or scores) are
// clamped instead of overflowing.

#include <climits>

inline int truncateToInt(double value) {
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}
