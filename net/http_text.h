// Text handling of the HTTP client: host texts, redirect targets and
// header values. Plain functions; no platform calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/calendar_time.h"

constexpr size_t kHostTextMax = 256;  // host part of "host[:port]"
constexpr size_t kLocationMax = 256;  // redirect target, terminator included
constexpr size_t kHeaderTextMax = 32; // Content-Length, Last-Modified
constexpr size_t kRangeLineMax = 40;   // "range:bytes=", 20 digits, "-"
constexpr int kDefaultHttpPort = 80;

// "host", "host:" and "host:port" into the host and its port (80 when no
// number follows the colon). False for an absent or empty host, a host
// that does not fit `hostSize` bytes, or a port outside 1..65535.
bool SplitHostText(const char* text, char* host, size_t hostSize, int* port);

// A Location value into the host text and path of the next request.
// "http://h:1/a/b" gives "h:1" and "/a/b"; "http://h" gives "h" and "/".
// A value that starts with "/" keeps `currentHost`. False for another
// scheme, an empty host or parts that do not fit their buffers.
bool SplitLocation(const char* location, const char* currentHost, char* hostText, size_t hostSize,
                   char* path, size_t pathSize);

// 1..12 for the English month abbreviations, any case; 0 otherwise.
int MonthFromName(const char* text);

// An RFC 1123 date ("Sun, 06 Nov 1994 08:49:37 GMT"): the weekday word is
// skipped, the next four words give day, month, year and time of day.
// Missing words read as 0; a word longer than its field (7 characters for
// day, month and year, 15 for the time) fails the parse.
bool ParseHttpDate(const char* text, CalendarTime* date);

// The decimal Content-Length text as 64 bits; false when the text holds no
// number or one that does not fit.
bool ParseContentLength(const char* text, uint64_t* length);

// The first byte position of a Content-Range value "bytes S-E/T".
bool ParseContentRangeStart(const char* text, uint64_t* start);

// The resume request's extra header line, "range:bytes=<offset>-".
// Returns false when `size` is too small (kRangeLineMax always suffices).
bool FormatRangeLine(uint64_t offset, char* out, size_t size);
