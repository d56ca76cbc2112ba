// Finds a desktop icon's rectangle. The icons are items of the shell's list
// view, which lives in another process: every request record, and the text
// buffer it points at, is placed in that process's memory.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class DebugLog;

// The list view's item record (LVITEMA, with the group and column fields of
// Windows Vista and later) as a 32-bit and a 64-bit process lay it out,
// pointers as plain numbers: the desktop's process is read by its bitness,
// not ours (a 32-bit installer on 64-bit Windows faces a 64-bit desktop).
struct ListViewItem32 {
    uint32_t mask;
    int32_t iItem;
    int32_t iSubItem;
    uint32_t state;
    uint32_t stateMask;
    uint32_t pszText;
    int32_t cchTextMax;
    int32_t iImage;
    int32_t lParam;
    int32_t iIndent;
    int32_t iGroupId;
    uint32_t cColumns;
    uint32_t puColumns;
    uint32_t piColFmt;
    int32_t iGroup;
};
struct ListViewItem64 {
    uint32_t mask;
    int32_t iItem;
    int32_t iSubItem;
    uint32_t state;
    uint32_t stateMask;
    alignas(8) uint64_t pszText;
    int32_t cchTextMax;
    int32_t iImage;
    alignas(8) int64_t lParam;
    int32_t iIndent;
    int32_t iGroupId;
    uint32_t cColumns;
    alignas(8) uint64_t puColumns;
    alignas(8) uint64_t piColFmt;
    int32_t iGroup;
};

// The documented layouts: 4-byte pointers packed on 4, 8-byte pointers
// aligned to 8 (with padding before pszText, lParam and puColumns, and at
// the end).
static_assert(sizeof(ListViewItem32) == 60);
static_assert(offsetof(ListViewItem32, pszText) == 20 && offsetof(ListViewItem32, cchTextMax) == 24);
static_assert(offsetof(ListViewItem32, lParam) == 32 && offsetof(ListViewItem32, iIndent) == 36);
static_assert(offsetof(ListViewItem32, iGroupId) == 40 && offsetof(ListViewItem32, puColumns) == 48);
static_assert(offsetof(ListViewItem32, piColFmt) == 52 && offsetof(ListViewItem32, iGroup) == 56);
static_assert(sizeof(ListViewItem64) == 88);
static_assert(offsetof(ListViewItem64, pszText) == 24 && offsetof(ListViewItem64, cchTextMax) == 32);
static_assert(offsetof(ListViewItem64, lParam) == 40 && offsetof(ListViewItem64, iIndent) == 48);
static_assert(offsetof(ListViewItem64, iGroupId) == 52 && offsetof(ListViewItem64, puColumns) == 64);
static_assert(offsetof(ListViewItem64, piColFmt) == 72 && offsetof(ListViewItem64, iGroup) == 80);
// LVM_GETITEMRECT's record is a RECT of four 32-bit values in either.
static_assert(sizeof(RECT) == 16);

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
