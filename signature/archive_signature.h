// Whether a downloaded client archive carries a good minisign signature.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

// The largest signature file taken; minisign writes about 300 bytes.
inline constexpr size_t kMaxArchiveSignatureBytes = 16 * 1024;

// True when `sidecar` (the archive's .minisig) is a minisign signature in
// the prehashed form by one of `keys` (a build value: one key, or two
// separated by a space), its trusted comment names `fileName` (UTF-8, as
// minisign wrote it), and both its signatures hold, the first one for the
// bytes of `archive` from its start to its end. False for no keys, a
// sidecar over kMaxArchiveSignatureBytes, or a failing read.
// `archive` must be open for synchronous reading. It is read in large
// blocks at explicit offsets, and its file pointer is where it was before.
bool ArchiveSignatureHolds(HANDLE archive, std::string_view sidecar, std::string_view keys,
                           std::string_view fileName);
