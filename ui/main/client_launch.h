// Starting the installed client, elevated, once the installation is done.
#pragma once

#include <string>

class DebugLog;

// Starts "<installDir>lobby.exe" with the verb "runas" when the user is an
// administrator; a failure is logged. The caller ends the process anyway.
void LaunchInstalledClient(const std::wstring& installDir, DebugLog& log);

enum class ClientPathProblem {
    None,
    // Beyond what the launch can start: 512 bytes in the code page, or
    // MAX_PATH characters.
    TooLong,
    // A character the ANSI code page cannot hold.
    NotInCodePage,
};

// Whether the launch can start "<installDir>lobby.exe".
ClientPathProblem CheckClientPath(const std::wstring& installDir);
