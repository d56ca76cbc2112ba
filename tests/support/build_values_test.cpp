// Host values for test programs that link the configuration code.
#include "app/build_values.h"

const char kOfficialUpdateHost[] = "official.example";
const char kTestUpdateHost[] = "testhost.example";
const char kStatsHost[] = "127.0.0.1";
const int kDownloadAttempts = 3;
const unsigned long kDownloadStallMs = 120000;
const char kArchiveKeys[] = "";
