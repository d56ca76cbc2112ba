// Finds a desktop icon's rectangle. The icons are items of the shell's list
// view, which lives in another process: every request record, and the text
// buffer it points at, is placed in that process's memory.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class DebugLog;

// An item request record as the desktop's process lays it out; the text
// buffer follows it directly in the same remote block.
struct ItemRecordLayout {
    bool bits64;
    size_t recordSize;
    size_t textPointerOffset;
    size_t textPointerSize;
    size_t textMaxOffset;
};

constexpr size_t kItemTextBytes = 1024;

// 64-bit records for a 64-bit desktop, else 32-bit ones.
ItemRecordLayout ItemLayoutFor(bool desktop64);
size_t RequestBlockSize(const ItemRecordLayout& layout);
// A text request for the block at `blockAddress` (an address in the
// desktop's process) that asks for the text in the block's own buffer.
std::vector<unsigned char> MakeTextRequest(const ItemRecordLayout& layout, uint64_t blockAddress);

// The rectangle, in the list view's client coordinates, of the first desktop
// item whose text equals `name` (ANSI, any case); zero when it is not found
// or cannot be read. `listView` receives the desktop list view, null when
// there is none. Writes one line to `log` on every failure.
RECT LocateDesktopIcon(const char* name, HWND* listView, DebugLog& log);
