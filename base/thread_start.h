// Threads of the program: a body to run, started with a name the system
// keeps for debuggers and crash dumps.
#pragma once

#include <functional>

#include "base/unique_resource.h"

// Runs `body` on a new thread named `name`; an exception that leaves it
// (out of memory) ends that thread only. An empty owner when no thread
// could be made.
UniqueHandle StartThread(const wchar_t* name, std::function<void()> body);
