#include "net/http_text.h"

#include <charconv>
#include <cstring>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(const char* text, const char* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        if (Lower(*text) != Lower(*prefix))
            return false;
    }
    return true;
}

bool CopyBounded(const char* begin, size_t length, char* out, size_t size)
{
    if (length >= size)
        return false;
    memcpy(out, begin, length);
    out[length] = '\0';
    return true;
}

// Like atoi on a word that starts with digits, without sign or overflow.
int DecimalPrefix(const char* text)
{
    int value = 0;
    for (; IsDigit(*text) && value < 100000000; ++text)
        value = value * 10 + (*text - '0');
    return value;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Copies the next blank-separated word into `out`; an absent word gives "".
bool NextWord(const char** cursor, char* out, size_t size)
{
    const char* p = *cursor;
    while (IsBlank(*p))
        ++p;
    const char* begin = p;
    while (*p && !IsBlank(*p))
        ++p;
    *cursor = p;
    return CopyBounded(begin, static_cast<size_t>(p - begin), out, size);
}

}  // namespace

bool SplitHostText(const char* text, char* host, size_t hostSize, int* port)
{
    if (!text || !*text || *text == ':')
        return false;
    const char* colon = strchr(text, ':');
    size_t length = colon ? static_cast<size_t>(colon - text) : strlen(text);
    if (!CopyBounded(text, length, host, hostSize))
        return false;
    *port = kDefaultHttpPort;
    if (!colon || !IsDigit(colon[1]))
        return true;
    long value = 0;
    for (const char* p = colon + 1; IsDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > 65535)
            return false;
    }
    if (value == 0)
        return false;
    *port = static_cast<int>(value);
    return true;
}

bool SplitLocation(const char* location, const char* currentHost, char* hostText, size_t hostSize,
                   char* path, size_t pathSize)
{
    const char* rest = location;
    if (StartsWithNoCase(rest, "http://")) {
        rest += 7;
    } else if (*rest == '/') {
        // A path alone stays on the server that sent it.
        return CopyBounded(currentHost, strlen(currentHost), hostText, hostSize) &&
               CopyBounded(rest, strlen(rest), path, pathSize);
    }
    const char* slash = strchr(rest, '/');
    size_t hostLength = slash ? static_cast<size_t>(slash - rest) : strlen(rest);
    // "https://..." and the like: this client speaks plain HTTP only.
    const char* scheme = strstr(rest, "://");
    if ((scheme && (!slash || scheme < slash)) || hostLength == 0)
        return false;
    if (!CopyBounded(rest, hostLength, hostText, hostSize))
        return false;
    if (!slash)
        return CopyBounded("/", 1, path, pathSize);
    return CopyBounded(slash, strlen(slash), path, pathSize);
}

int MonthFromName(const char* text)
{
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (!text)
        return 0;
    for (int i = 0; i < 12; ++i) {
        if (StartsWithNoCase(text, kMonths[i]))
            return i + 1;
    }
    return 0;
}

bool ParseHttpDate(const char* text, CalendarTime* date)
{
    char weekday[kHeaderTextMax], day[8], month[8], year[8], time[16];
    const char* cursor = text;
    if (!NextWord(&cursor, weekday, sizeof weekday) || !NextWord(&cursor, day, sizeof day) ||
        !NextWord(&cursor, month, sizeof month) || !NextWord(&cursor, year, sizeof year) ||
        !NextWord(&cursor, time, sizeof time))
        return false;
    size_t timeLength = strlen(time);
    date->year = DecimalPrefix(year);
    date->month = MonthFromName(month);
    date->day = DecimalPrefix(day);
    date->hour = DecimalPrefix(time);
    date->minute = timeLength > 3 ? DecimalPrefix(time + 3) : 0;
    date->second = timeLength > 6 ? DecimalPrefix(time + 6) : 0;
    return true;
}

bool ParseContentLength(const char* text, uint64_t* length)
{
    while (IsBlank(*text))
        ++text;
    uint64_t value = 0;
    auto [stop, error] = std::from_chars(text, text + strlen(text), value);
    if (error != std::errc() || stop == text)
        return false;
    *length = value;
    return true;
}

bool ParseContentRangeStart(const char* text, uint64_t* start)
{
    if (!text || !StartsWithNoCase(text, "bytes"))
        return false;
    text += 5;
    while (IsBlank(*text))
        ++text;
    uint64_t value = 0;
    auto [stop, error] = std::from_chars(text, text + strlen(text), value);
    if (error != std::errc() || stop == text || *stop != '-')
        return false;
    *start = value;
    return true;
}

bool FormatRangeLine(uint64_t offset, char* out, size_t size)
{
    static const char kPrefix[] = "range:bytes=";
    char digits[24];
    auto [stop, error] = std::to_chars(digits, digits + sizeof digits, offset);
    size_t count = static_cast<size_t>(stop - digits);
    if (error != std::errc() || sizeof kPrefix - 1 + count + 2 > size)
        return false;
    memcpy(out, kPrefix, sizeof kPrefix - 1);
    memcpy(out + sizeof kPrefix - 1, digits, count);
    out[sizeof kPrefix - 1 + count] = '-';
    out[sizeof kPrefix + count] = '\0';
    return true;
}
