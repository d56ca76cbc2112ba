// Every test program ends at the first caught misuse (base/misuse.h), with
// the message on its error output and kMisuseExitCode, where the shipped
// program would trace it and carry on: a widget called off its window's
// thread then fails the test that did it. Set before main, so before any
// test's threads exist.
#include "base/misuse.h"

namespace {

const MisuseResponse shippedResponse = SetMisuseResponse(MisuseResponse::EndProcess);

}  // namespace

// Named by the support library's link options so the linker keeps this
// object, which nothing else references.
extern "C" const int lobbyTestMisuseStart = 1;
