#include "base/PlayTime.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr long long kHourMs = 3600 * 1000LL;
}

std::string PlayTimeText(long long milliseconds, bool withHours)
{
    const long long seconds = std::max(0LL, milliseconds) / 1000;
    char text[32];
    if (withHours)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

std::string PlayTimesText(long long position, long long length)
{
    if (length <= 0)
        return "--:--";
    const bool hours = length >= kHourMs;
    return PlayTimeText(std::min(position, length), hours) + " / " + PlayTimeText(length, hours);
}
