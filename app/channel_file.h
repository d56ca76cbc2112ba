// "IsLobbyLogin.dat": tells the installed client which channel it came from.
#pragma once

void writeChannelFile(const wchar_t* installDir);
