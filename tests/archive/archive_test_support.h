// Shared pieces of the extraction tests: fixture archives, extraction with
// wide paths, file times and a snapshot of a whole directory tree.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "archive/zip_reader.h"
#include "base/unique_resource.h"

// An archive written by tools/make_zip_fixtures.py into the build tree.
std::wstring Fixture(const std::wstring& name);

// ExtractArchive by path; last error poisoned first.
int Extract(const std::wstring& archive, const std::wstring& destination, const char* password = nullptr);
// The archive opened for reading, as the worker opens it.
UniqueFile OpenArchive(const std::wstring& archive);
// A record whose every field is garbage, for the reader to overwrite.
ZipEntry PoisonedEntry();

struct FileTimes {
    FILETIME creation, access, write;
};
FileTimes TimesOf(const std::wstring& path);
// "2019-05-17 13:45:22" in local time.
std::string LocalText(const FILETIME& time);
FILETIME FromUnixTime(long long seconds);
unsigned long long Ticks(const FILETIME& time);

// Every file and folder below `root` (sizes and write times of files),
// leaving out the subtrees in `skip` and other processes' scratch folders.
using TreeSnapshot = std::map<std::wstring, std::wstring>;
TreeSnapshot SnapshotTree(const std::wstring& root, const std::vector<std::wstring>& skip);
// Paths added, removed or changed, for a failure message.
std::wstring TreeChanges(const TreeSnapshot& before, const TreeSnapshot& after);
