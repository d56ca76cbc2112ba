// What an install worker is given when it starts.
#pragma once

#include <windows.h>

#include <string>

// Taken on the window's thread when the worker starts, from one consistent
// state of the window, so nothing the window changes later reaches a
// running worker.
struct WorkerSettings {
    std::string updateHost;    // "host" or "host:port"
    std::string downloadPath;  // object path on the update host
    std::string archiveName;   // local file name in the install directory
    std::string statsHost;     // "host" or "host:port"
    std::string archiveKeys;   // minisign keys the archive must be signed with; empty: unsigned archives
    std::wstring installRoot;  // extraction destination, ends with a backslash
    std::wstring installDir;   // the path label's directory: the root, the display name, a backslash
    std::wstring displayName;  // names the shortcut
    int channelId = 0;
    int attempts = 0;
    DWORD stallLimitMs = 0;    // no byte for this long ends the download
};

// The local archive: the install directory and the archive's name.
std::wstring ArchivePath(const WorkerSettings& settings);
