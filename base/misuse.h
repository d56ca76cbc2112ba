// What the program does when it catches a caller's mistake that it can
// survive, such as a widget called from a thread other than its window's.
// The shipped program writes a debug trace and carries on. Test programs
// switch to ending the process at start-up (tests/support), so that the
// test that made the mistake fails instead of passing on a call that was
// silently dropped. The shipped program never changes the response: it
// reads no environment and takes no arguments for it.
#pragma once

enum class MisuseResponse {
    TraceAndIgnore,
    // The message goes to the error output and the debug trace, and the
    // process ends at once with kMisuseExitCode.
    EndProcess,
};

// An exception-style code (error severity, customer bit): harnesses and
// crash reporters take it for a failure, never for a normal exit.
constexpr unsigned kMisuseExitCode = 0xE15E0001;

// Process-wide; gives the previous response.
MisuseResponse SetMisuseResponse(MisuseResponse response);

// Reports one line of text by the current response. Returns only under
// TraceAndIgnore; callable from any thread.
void ReportMisuse(const char* text);
