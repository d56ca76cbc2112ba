// The download step of an install worker: the archive (and, for a channel
// that takes signed archives only, its signature file), with retries.
#pragma once

#include <string>

#include "install/install_client.h"
#include "install/worker_settings.h"

enum class ArchiveFetch {
    Complete,  // the archive is complete in the install directory
    Failed,    // attempts ran out, or no byte came for the stall limit
    Stopped,   // the window ended the worker
    Unsigned,  // the update host has no signature file to give
};

// Attempts until the archive is complete. A failed attempt that brought
// nothing is followed by a rest that grows; time spent paused does not count
// as a stall. With keys, `signature` receives the archive's signature file.
ArchiveFetch FetchArchive(InstallClient& client, const WorkerSettings& settings, std::string* signature);
