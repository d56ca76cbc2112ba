// Host values for test programs that link the configuration code.
#include "app/build_values.h"

// Ports nothing listens on: a worker started by a test program fails its
// attempts at once instead of waiting for a name server.
const char kOfficialUpdateHost[] = "127.0.0.1:1";
const char kTestUpdateHost[] = "127.0.0.1:2";
const char kStatsHost[] = "127.0.0.1:3";
const int kDownloadAttempts = 3;
const unsigned long kDownloadStallMs = 120000;
const char kArchiveKeys[] = "";
