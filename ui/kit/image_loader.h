// Skin images: PNG bytes from a resource of the program or from a file,
// decoded once by GDI+ from a memory stream.
#pragma once

#include <windows.h>

#include "ui/kit/gdiplus_objects.h"

// Null (empty) when the resource is missing, memory runs out or the bytes do
// not decode.
GdiplusImage LoadImageFromResource(HMODULE module, LPCWSTR type, LPCWSTR name);
// Null when the file cannot be opened exclusively or read whole.
GdiplusImage LoadImageFromFile(LPCWSTR path);
