#include "base/system_time.h"

SYSTEMTIME ToSystemTime(const CalendarTime& time)
{
    SYSTEMTIME out = {};
    out.wYear = static_cast<WORD>(time.year);
    out.wMonth = static_cast<WORD>(time.month);
    out.wDay = static_cast<WORD>(time.day);
    out.wHour = static_cast<WORD>(time.hour);
    out.wMinute = static_cast<WORD>(time.minute);
    out.wSecond = static_cast<WORD>(time.second);
    return out;
}

bool SameSecond(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
           a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}
