// The report of an extraction's outcome to the portal's statistics
// endpoint: one GET whose answer is read and dropped.
#pragma once

#include <string>

// The result text as the report's query value: through the ANSI code page
// (what it cannot hold becomes its default character), then UTF-8, then
// percent-encoded.
std::string urlEncode(const wchar_t* text);

// Performs the request on an Internet handle of its own; every failure is
// silent. The body goes to standard output.
void reportStatistics(const wchar_t* url);
