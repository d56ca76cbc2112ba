// Off-screen 32-bit pixels that GDI can draw into and copy from.
#pragma once

#include "base/unique_resource.h"

// A top-down 32-bit DIB section of width x height selected into a memory DC
// compatible with the screen. `bits` receives its pixels (blue, green, red,
// alpha per pixel), or null with an empty owner when either part failed.
UniqueBitmapDc MakeDibSectionDc(int width, int height, void** bits);
