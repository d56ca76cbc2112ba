// Which addresses the banner may open. Its page runs inside the elevated
// installer, so a local file or another program's protocol handler opened
// from it would run with administrator rights. Plain function; no platform
// calls.
#pragma once

#include <string_view>

// True when `url`'s scheme is http, https, about or javascript, in any
// case. javascript: only runs script in the page that already runs script;
// it neither leaves the web nor starts anything. Everything else is
// refused, an address without a scheme too: the control reports absolute
// addresses, and reports a file: address as the bare path ("C:\dir\x",
// "\\server\share\x").
//
// The scheme is read as browsers read an address: C0 controls and spaces
// around it are dropped, tabs and line breaks inside it are removed
// ("java\tscript:" is javascript:), and it must start with an ASCII letter
// followed by ASCII letters, digits, "+", "-" or "." up to the colon.
bool BannerMayOpen(std::wstring_view url);
