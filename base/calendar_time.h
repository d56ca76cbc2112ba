// A calendar date and time of day, as header fields and archive entries
// carry them; no time zone of its own.
#pragma once

struct CalendarTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
