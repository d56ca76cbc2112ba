// minizip file functions that read an archive through a handle its caller
// opened and keeps: reads name their offset (the handle's file pointer is
// neither relied on nor restored), and closing the archive leaves the
// handle open. The unzip code reads every header field a byte at a time,
// and each of those reads is a system call under Wine: a few hundred per
// entry without the read buffer in front.
#pragma once

#include <ioapi.h>

// With these functions, unzOpen2_64's "path" is the address of a HANDLE
// opened for reading (read while the open runs).
void FillBufferedHandleFunctions(zlib_filefunc64_def* functions);
