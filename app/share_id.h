// The share number taken from the installer's own file name, and the
// registry value that records it for the installed client.
#pragma once

#include <string>

// "C:\dl\Download_kp_2001.exe" gives "2001"; empty when the name carries no
// underscore-separated number.
std::string ShareIdFromPath(const char* path);

void recordShareId();
