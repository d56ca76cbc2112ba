// Plays the desktop shell for the desktop tip tests: a "Progman" window
// titled "Program Manager" whose "SHELLDLL_DefView" child holds a real list
// view of icons, in a process of its own.
//   desktop_helper <icons|missing|late> <report file> [<release event> <answered event>]
// The report file appears once the items are in place; it names the windows
// and each item's rectangle. "late" holds the first text request until the
// release event is set, then answers it and sets the answered event.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Item {
    const char* text;
    POINT at;
};

// The third item is the first whose text is the display name in any case.
const std::vector<Item> kIcons = {
    {"Recycle Bin", {20, 20}},  {"Quillmoor Notes", {20, 140}}, {"QUILLMOOR", {300, 200}},
    {"Quillmoor", {100, 200}},  {"Quillmoor", {500, 380}},
};
const std::vector<Item> kMissing = {
    {"Recycle Bin", {20, 20}}, {"Quillmoor Notes", {20, 140}}, {"Quillmoo", {300, 200}},
};

WNDPROC listViewProc = nullptr;
HANDLE releaseEvent = nullptr;
HANDLE answeredEvent = nullptr;
bool held = false;

LRESULT CALLBACK LateListView(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != LVM_GETITEMTEXTA || held)
        return CallWindowProcA(listViewProc, hwnd, msg, wParam, lParam);
    held = true;
    WaitForSingleObject(releaseEvent, INFINITE);
    // Writes into the caller's block, which must still be there.
    LRESULT result = CallWindowProcA(listViewProc, hwnd, msg, wParam, lParam);
    SetEvent(answeredEvent);
    return result;
}

HWND MakeWindow(const char* className, const char* title, HWND parent, DWORD style)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, title, style, 0, 0, 800, 600, parent, nullptr, wc.hInstance, nullptr);
}

bool WriteReport(const std::string& path, HWND progman, HWND listView, size_t count)
{
    std::string text = "progman " + std::to_string(reinterpret_cast<uintptr_t>(progman)) + "\nlistview " +
                       std::to_string(reinterpret_cast<uintptr_t>(listView)) + "\n";
    for (size_t i = 0; i < count; ++i) {
        RECT r = {LVIR_BOUNDS, 0, 0, 0};
        if (!SendMessageA(listView, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)))
            return false;
        text += "item " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
                " " + std::to_string(r.bottom) + "\n";
    }
    // Written aside and renamed, so the test never reads half a report.
    std::string partial = path + ".part";
    FILE* file = fopen(partial.c_str(), "wb");
    if (!file)
        return false;
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    return MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    std::string mode = argv[1];
    bool late = mode == "late";
    if (late && argc < 5)
        return 2;
    const std::vector<Item>& items = mode == "missing" ? kMissing : kIcons;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // Not shown: a visible 800 x 600 window would take the pointer from
    // other tests' windows on the same display.
    HWND progman = MakeWindow("Progman", "Program Manager", nullptr, WS_POPUP);
    HWND defView = MakeWindow("SHELLDLL_DefView", "", progman, WS_CHILD | WS_VISIBLE);
    HWND listView = CreateWindowExA(0, WC_LISTVIEWA, "FolderView", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 800, 600,
                                    defView, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!listView)
        return 3;
    for (size_t i = 0; i < items.size(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(items[i].text);
        SendMessageA(listView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        SendMessageA(listView, LVM_SETITEMPOSITION, i, MAKELPARAM(items[i].at.x, items[i].at.y));
    }
    if (late) {
        releaseEvent = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
        answeredEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4]);
        if (!releaseEvent || !answeredEvent)
            return 4;
        listViewProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(listView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LateListView)));
    }
    if (!WriteReport(argv[2], progman, listView, items.size()))
        return 5;
    // Until the test ends it by its handle.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
