#include "archive/entry_meta.h"

namespace {

uint32_t LittleEndian(const unsigned char* p, size_t bytes)
{
    uint32_t value = 0;
    for (size_t i = bytes; i-- > 0;)
        value = value << 8 | p[i];
    return value;
}

bool IsDosHost(uint32_t host)
{
    return host == 0 || host == 7 || host == 11 || host == 14;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

uint32_t EntryAttributes(uint32_t versionMadeBy, uint32_t externalAttributes)
{
    uint32_t host = (versionMadeBy >> 8) & 0xFF;
    if (IsDosHost(host)) {
        constexpr uint32_t kDosBits = ENTRY_READONLY | ENTRY_HIDDEN | ENTRY_SYSTEM | ENTRY_DIRECTORY | ENTRY_ARCHIVE;
        return externalAttributes & kDosBits;
    }
    uint32_t attributes = ENTRY_ARCHIVE;
    if (externalAttributes & 0x40000000)  // S_IFDIR
        attributes |= ENTRY_DIRECTORY;
    if (!(externalAttributes & 0x00800000))  // owner write
        attributes |= ENTRY_READONLY;
    return attributes;
}

std::optional<CalendarTime> DosDateTimeToCalendar(uint32_t dosDateTime)
{
    uint32_t date = dosDateTime >> 16;
    uint32_t time = dosDateTime & 0xFFFF;
    CalendarTime t;
    t.year = 1980 + static_cast<int>(date >> 9);
    t.month = static_cast<int>((date >> 5) & 0x0F);
    t.day = static_cast<int>(date & 0x1F);
    t.hour = static_cast<int>(time >> 11);
    t.minute = static_cast<int>((time >> 5) & 0x3F);
    t.second = 2 * static_cast<int>(time & 0x1F);
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month))
        return std::nullopt;
    if (t.hour > 23 || t.minute > 59 || t.second > 59)
        return std::nullopt;
    return t;
}

ExtendedTimes ParseExtendedTimestamp(const unsigned char* extra, size_t length)
{
    ExtendedTimes times;
    if (length <= 4)
        return times;
    for (size_t offset = 0; offset + 4 < length;) {
        uint32_t tag = LittleEndian(extra + offset, 2);
        size_t size = LittleEndian(extra + offset + 2, 2);
        const unsigned char* data = extra + offset + 4;
        if (tag != 0x5455) {  // "UT"
            offset += 4 + size;
            continue;
        }
        // A hostile block may claim more data than the field holds.
        size_t available = length - offset - 4;
        if (size > available)
            size = available;
        if (size < 1)
            return times;
        unsigned flags = data[0];
        size_t at = 1;
        std::optional<int32_t>* slots[] = {&times.write, &times.access, &times.creation};
        for (unsigned bit = 0; bit < 3; ++bit) {
            if (!(flags & (1u << bit)))
                continue;
            if (at + 4 > size)
                break;
            *slots[bit] = static_cast<int32_t>(LittleEndian(data + at, 4));
            at += 4;
        }
        return times;
    }
    return times;
}

uint64_t UnixTimeToFileTime(int64_t seconds)
{
    return static_cast<uint64_t>(seconds + 11644473600LL) * 10000000ULL;
}
