// Extraction of a whole zip archive below a destination directory.
#pragma once

#include <windows.h>

// Returns 0, the ARCHIVE_* code of the first failing entry (later entries
// are not written), ARCHIVE_BAD_ARGUMENTS when the archive cannot be read,
// or EXTRACT_DEST_NOT_CREATED / EXTRACT_DEST_NOT_DIRECTORY (checked first;
// a missing destination is made with its parents). On failure the thread's
// last error holds the last failing call's error.
//
// `archive` is open for reading; it is read at explicit
// offsets (its file pointer is left anywhere) and stays open. Every file
// of the extraction is reached through the long form of `destination`'s
// full path, so no path length short of that form's limit stops it.
int ExtractArchive(HANDLE archive, const char* password, const wchar_t* destination);
// The same for the archive at `archivePath`, opened for the call.
int ExtractArchive(const wchar_t* archivePath, const char* password, const wchar_t* destination);

// The destination's attributes as the extraction sees them: those of the
// path without its trailing separators.
DWORD DestinationAttributes(const wchar_t* destination);
