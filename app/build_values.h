// Values compiled into each channel's executable (see cmake/installer.cmake).
#pragma once

extern const char kOfficialUpdateHost[];
extern const char kTestUpdateHost[];
extern const char kStatsHost[];
// Download attempts of one install worker before it gives up.
extern const int kDownloadAttempts;
// An install worker also gives up when no byte came for this long.
extern const unsigned long kDownloadStallMs;
// minisign public keys the client archive must be signed with: empty (the
// channel takes unsigned archives), one, or two separated by a space.
extern const char kArchiveKeys[];
