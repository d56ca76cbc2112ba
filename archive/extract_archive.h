// Extraction of a whole zip archive below a destination directory.
#pragma once

// Returns 0, the ARCHIVE_* code of the first failing entry (later entries
// are not written), ARCHIVE_BAD_ARGUMENTS when the archive cannot be opened,
// or EXTRACT_DEST_NOT_CREATED / EXTRACT_DEST_NOT_DIRECTORY. An entry whose
// target would not lie below `destination` fails with ARCHIVE_CORRUPT.
// On failure the thread's last error holds the last failing call's error.
int ExtractArchive(const char* archivePath, const char* password, const char* destination);

// The destination's attributes as the extraction sees them: those of the
// path without its trailing separators.
unsigned long DestinationAttributes(const char* destination);
