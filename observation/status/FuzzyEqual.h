#pragma once

#include <QtGlobal>

#include <cmath>

// Change detection of QML-facing numbers: Qt's fuzzy comparison, shifted by one so that values
// near 0 compare by their absolute difference; NaN (a value not set) equals NaN, so an unset
// value does not signal on every update.
inline bool fuzzyEqual(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b || qFuzzyCompare(a + 1.0, b + 1.0);
}

inline bool fuzzyEqual(float a, float b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b || qFuzzyCompare(a + 1.0f, b + 1.0f);
}
