#include "ui/main/desktop_icon_locator.h"

#include <commctrl.h>

#include <type_traits>

#include "app/debug_log.h"
#include "base/unique_resource.h"

// The record of our own bitness is the platform's own.
using NativeListViewItem = std::conditional_t<sizeof(void*) == 8, ListViewItem64, ListViewItem32>;
static_assert(sizeof(LVITEMA) == sizeof(NativeListViewItem));
static_assert(offsetof(LVITEMA, pszText) == offsetof(NativeListViewItem, pszText));
static_assert(offsetof(LVITEMA, cchTextMax) == offsetof(NativeListViewItem, cchTextMax));
static_assert(offsetof(LVITEMA, lParam) == offsetof(NativeListViewItem, lParam));
static_assert(offsetof(LVITEMA, puColumns) == offsetof(NativeListViewItem, puColumns));
static_assert(offsetof(LVITEMA, iGroup) == offsetof(NativeListViewItem, iGroup));

ItemRecordLayout ItemLayoutFor(bool desktop64)
{
    // The whole record, so whatever the list view reads or writes back of
    // it stays inside it and off the text.
    if (desktop64)
        return {true, sizeof(ListViewItem64), offsetof(ListViewItem64, pszText), sizeof(ListViewItem64::pszText),
                offsetof(ListViewItem64, cchTextMax)};
    return {false, sizeof(ListViewItem32), offsetof(ListViewItem32, pszText), sizeof(ListViewItem32::pszText),
            offsetof(ListViewItem32, cchTextMax)};
}

size_t RequestBlockSize(const ItemRecordLayout& layout)
{
    return layout.recordSize + kItemTextBytes;
}

std::vector<unsigned char> MakeTextRequest(const ItemRecordLayout& layout, uint64_t blockAddress)
{
    std::vector<unsigned char> record(layout.recordSize, 0);
    // Both fields little-endian; the mask, item and sub-item stay 0.
    uint64_t text = blockAddress + layout.recordSize;
    for (size_t i = 0; i < layout.textPointerSize; ++i)
        record[layout.textPointerOffset + i] = static_cast<unsigned char>(text >> (8 * i));
    uint32_t textMax = kItemTextBytes;
    for (size_t i = 0; i < sizeof textMax; ++i)
        record[layout.textMaxOffset + i] = static_cast<unsigned char>(textMax >> (8 * i));
    return record;
}

namespace {

// How long the desktop may take over one request. A hung desktop must not
// freeze this window's thread, which waits here.
constexpr UINT kDesktopAnswerMs = 2000;

constexpr DWORD kProcessAccess =
    PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE;

HWND ListViewOf(HWND shellWindow)
{
    HWND defView = FindWindowExA(shellWindow, nullptr, "SHELLDLL_DefView", nullptr);
    return defView ? FindWindowExA(defView, nullptr, "SysListView32", nullptr) : nullptr;
}

HWND FindDesktopListView()
{
    // The shell moves its view out of "Progman" into a "WorkerW" window
    // behind the first one when it animates the wallpaper.
    for (HWND w = FindWindowA("WorkerW", nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!FindWindowExA(w, nullptr, "SHELLDLL_DefView", nullptr))
            continue;
        if (HWND view = ListViewOf(w))
            return view;
        break;
    }
    HWND progman = FindWindowA("Progman", "Program Manager");
    return progman ? ListViewOf(progman) : nullptr;
}

bool RunsUnderWow64()
{
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32");
    if (!kernel)
        return false;
    // Absent before XP SP2, where nothing runs under WOW64.
    auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

// False when the desktop did not answer in time.
bool AskDesktop(HWND listView, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* answer)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(listView, msg, wParam, lParam, SMTO_BLOCK | SMTO_ABORTIFHUNG, kDesktopAnswerMs,
                             &result))
        return false;
    *answer = static_cast<LRESULT>(result);
    return true;
}

struct Search {
    bool matched = false;
    RECT rect = {};
};

Search FindItem(HWND listView, HANDLE process, const ItemRecordLayout& layout, int count, const char* name)
{
    Search search;
    void* address = VirtualAllocEx(process, nullptr, RequestBlockSize(layout), MEM_COMMIT, PAGE_READWRITE);
    // Without a block of its own in the desktop's process there is nothing
    // the list view may be given: any other address would crash it.
    if (!address)
        return search;
    UniqueRemoteMemory block({process, address});
    auto base = reinterpret_cast<uintptr_t>(address);
    std::vector<unsigned char> record = MakeTextRequest(layout, base);
    SIZE_T written = 0;
    if (!WriteProcessMemory(process, address, record.data(), record.size(), &written) || written != record.size())
        return search;
    void* remoteText = reinterpret_cast<void*>(base + layout.recordSize);
    for (int i = 0; i < count; ++i) {
        LRESULT answer = 0;
        if (!AskDesktop(listView, LVM_GETITEMTEXTA, i, static_cast<LPARAM>(base), &answer)) {
            // The request stays queued and a late answer still writes into
            // the block: it is left to the desktop rather than freed under it.
            block.release();
            return search;
        }
        char text[kItemTextBytes + 1] = {};
        ReadProcessMemory(process, remoteText, text, kItemTextBytes, nullptr);
        if (lstrcmpiA(text, name) != 0)
            continue;
        search.matched = true;
        RECT request = {LVIR_BOUNDS, 0, 0, 0};
        if (!WriteProcessMemory(process, address, &request, sizeof request, &written) || written != sizeof request)
            return search;
        if (!AskDesktop(listView, LVM_GETITEMRECT, i, static_cast<LPARAM>(base), &answer)) {
            block.release();
            return search;
        }
        RECT rect = {};
        SIZE_T read = 0;
        if (ReadProcessMemory(process, address, &rect, sizeof rect, &read) && read == sizeof rect)
            search.rect = rect;
        return search;
    }
    return search;
}

}  // namespace

RECT LocateDesktopIcon(const char* name, HWND* listView, DebugLog& log)
{
    *listView = FindDesktopListView();
    if (!*listView) {
        log.Write("hwndSysListView32 = NULL");
        return {};
    }
    // A desktop that does not answer has no items to search.
    LRESULT count = 0;
    if (!AskDesktop(*listView, LVM_GETITEMCOUNT, 0, 0, &count))
        count = 0;
    DWORD processId = 0;
    GetWindowThreadProcessId(*listView, &processId);
    UniqueHandle process(OpenProcess(kProcessAccess, FALSE, processId));
    if (!process) {
        log.Write("hProcess = NULL");
        return {};
    }
    bool wow64 = RunsUnderWow64();
    log.Write(wow64 ? "IsWow64 = true" : "IsWow64 = false");
    // A 32-bit program under WOW64 faces a 64-bit desktop; a 64-bit build
    // always does.
    ItemRecordLayout layout = ItemLayoutFor(sizeof(void*) == 8 || wow64);
    Search search = FindItem(*listView, process.get(), layout, static_cast<int>(count), name);
    if (!search.matched)
        log.Write(layout.bits64 ? "not found x64 '%s'" : "not found x32 '%s'", name);
    return search.rect;
}
