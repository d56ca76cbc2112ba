// minizip file functions that put a read buffer in front of minizip's own
// Win32 ones (which open the archive with shared read access). The unzip
// code reads every header field a byte at a time, and each of those reads
// is a system call under Wine: a few hundred per entry without the buffer.
#pragma once

#include <ioapi.h>

void FillBufferedWin32FileFunctions(zlib_filefunc64_def* functions);
