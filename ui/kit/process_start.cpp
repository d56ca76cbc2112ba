// The toolkit's start before main, for the programs that do not start it
// themselves: tests and benchmarks. The installer starts it from its entry
// point once DLLs come from the system folder only, GDI+ being one it must
// not take from its own folder, and so leaves this object out
// (LOBBY_STARTS_TOOLKIT, ui/kit/CMakeLists.txt).
#include "ui/kit/toolkit_process.h"

namespace {

const bool started = (StartToolkit(), true);

}  // namespace

// Named by the library's link options so the linker keeps this object (and
// the start-up above) in every program that links the toolkit.
extern "C" const int lobbyToolkitProcessStart = 1;
