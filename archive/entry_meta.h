// Windows attributes and times of a zip entry, from its header fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/calendar_time.h"

// The FILE_ATTRIBUTE_* values an entry can map to.
constexpr uint32_t ENTRY_READONLY = 0x01;
constexpr uint32_t ENTRY_HIDDEN = 0x02;
constexpr uint32_t ENTRY_SYSTEM = 0x04;
constexpr uint32_t ENTRY_DIRECTORY = 0x10;
constexpr uint32_t ENTRY_ARCHIVE = 0x20;

// `versionMadeBy` carries the host system in its high byte; DOS-like hosts
// keep DOS attribute bits, every other host a Unix mode in the high 16 bits.
uint32_t EntryAttributes(uint32_t versionMadeBy, uint32_t externalAttributes);


// Date in the high 16 bits, time in the low. Empty when the fields do not
// form a real date and time (an all-zero field, say).
std::optional<CalendarTime> DosDateTimeToCalendar(uint32_t dosDateTime);

struct ExtendedTimes {
    std::optional<int32_t> write, access, creation;
};

// The first "UT" (extended timestamp) block of a local extra field.
ExtendedTimes ParseExtendedTimestamp(const unsigned char* extra, size_t length);

// 100 ns ticks since 1601, the FILETIME of a Unix time.
uint64_t UnixTimeToFileTime(int64_t seconds);
