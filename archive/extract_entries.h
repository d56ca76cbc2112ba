// The walk over all entries of an archive, in order, to the first failure.
#pragma once

#include <windows.h>

#include <cstdint>

#include "archive/entry_target.h"
#include "archive/zip_reader.h"

struct EntriesResult {
    uint32_t code;  // ARCHIVE_OK, or the first failing entry's result
    DWORD error;    // the Windows error that failure recorded; 0 when none
};

// Extracts every entry of `reader` through `target`. The archive is read
// and inflated on a thread of its own while this one writes: on two cores
// the inflating and the file system's calls (dear under Wine) overlap. The
// outcome is that of doing it all in order on one thread: the same files,
// the same first failure, the files of a failed entry removed, and nothing
// written after it. Without a second thread it does just that.
EntriesResult ExtractEntries(ZipReader& reader, EntryTarget& target);
