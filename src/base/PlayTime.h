// A play position as the player shows it: minutes and seconds with two digits
// each ("04:05"), and hours in front when the video has them ("1:02:03").
#pragma once

#include <string>

std::string PlayTimeText(long long milliseconds, bool withHours);

// "12:34 / 45:00", or "--:--" while the length is not known (0 or less).
std::string PlayTimesText(long long position, long long length);
