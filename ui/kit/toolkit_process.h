// What the toolkit needs from the process before its first window: GDI+
// started (and shut down at the process's exit), and the current folder at
// the executable, so relative paths (skin files, logs) resolve beside it
// whatever folder it was started from.
#pragma once

// Once per process; later calls do nothing. The installer calls it from its
// entry point; other programs get it before main (process_start.cpp).
void StartToolkit();
