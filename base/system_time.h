// CalendarTime as the system's SYSTEMTIME.
#pragma once

#include <windows.h>

#include "base/calendar_time.h"

// Day of week and milliseconds 0.
SYSTEMTIME ToSystemTime(const CalendarTime& time);
// Equal from year down to the second; day of week and milliseconds ignored.
bool SameSecond(const SYSTEMTIME& a, const SYSTEMTIME& b);
