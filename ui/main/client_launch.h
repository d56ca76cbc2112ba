// Starting the installed client, elevated, once the installation is done.
#pragma once

#include <string>

class DebugLog;

// Starts "<installDir>lobby.exe" with the verb "runas" when the user is an
// administrator; a failure is logged. The caller ends the process anyway.
void LaunchInstalledClient(const std::wstring& installDir, DebugLog& log);

// The ANSI client path fits the launch buffer of 512 bytes.
bool ClientPathFits(const std::wstring& installDir);
