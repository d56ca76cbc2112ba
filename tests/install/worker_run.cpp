#include "tests/install/worker_run.h"

#include <objbase.h>
#include <shobjidl.h>

#include <cstdlib>
#include <sstream>

#include "base/unique_resource.h"
#include "tests/net/net_peers.h"
#include "tests/support/windows.h"

namespace {

std::wstring Widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

int HexValue(char c)
{
    return c >= 'a' ? c - 'a' + 10 : c >= 'A' ? c - 'A' + 10 : c - '0';
}

}  // namespace

WorkerHost::WorkerHost(const ScratchDir& scratch, const HostOptions& options)
{
    transcript_ = scratch / L"transcript.txt";
    std::wstring command = BuildPath(L"tests/install/install_worker_host.exe");
    std::wstring stats = Widen(options.stats.empty() ? NginxHost() : options.stats);
    std::wstring args = L" --transcript \"" + transcript_ + L"\" --update " + Widen(options.update) + L" --path " +
                        Widen(options.path) + L" --stats " + stats + L" --root \"" + options.root +
                        L"\\\" --channel " + std::to_wstring(options.channel) + L" --attempts " +
                        std::to_wstring(options.attempts) + L" --stall-ms " + std::to_wstring(options.stallMs) +
                        L" --runs " + std::to_wstring(options.runs) + (options.parked ? L" --parked" : L"") +
                        (options.keys.empty() ? L"" : L" --keys \"" + Widen(options.keys) + L"\"");
    // The host's own folder holds the debug log (written only when it exists).
    process_ = std::make_unique<ChildProcess>(command, scratch.path(), args);
}

bool WorkerHost::Finish(DWORD ms)
{
    return process_->Wait(ms);
}

std::vector<std::wstring> WorkerHost::Lines() const
{
    std::vector<std::wstring> lines;
    std::wstring all = FromUtf8(ReadFileBytes(transcript_));
    std::wistringstream in(all);
    for (std::wstring line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool WorkerHost::WaitForLine(const std::wstring& line, DWORD ms) const
{
    DWORD start = GetTickCount();
    do {
        for (const std::wstring& seen : Lines()) {
            if (seen == line)
                return true;
        }
        Sleep(20);
    } while (GetTickCount() - start < ms);
    return false;
}

HWND WorkerHost::window() const
{
    for (const std::wstring& line : Lines()) {
        if (line.rfind(L"window ", 0) == 0)
            return reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoull(line.c_str() + 7, nullptr, 16)));
    }
    return nullptr;
}

std::string ServeSample(const std::wstring& name)
{
    std::wstring served = Peers().dataDir + name;
    if (!FileExists(served))
        CopyFileW((FolderFromEnvironment("LOBBY_INSTALL_DATA") + name).c_str(), served.c_str(), FALSE);
    std::string path = "/";
    path.append(name.begin(), name.end());
    return path;
}

std::vector<std::string> ReportsFor(int channel)
{
    static const std::string kPath = "/ajax/quickDownLoadStatistics/quickDownStatistics.jsp?";
    std::vector<std::string> reports;
    std::istringstream log(ReadFileBytes(Peers().dataDir + L"..\\nginx-access.log"));
    for (std::string line; std::getline(log, line);) {
        size_t at = line.find(kPath);
        if (at == std::string::npos)
            continue;
        at += kPath.size();
        std::string query = line.substr(at, line.find(' ', at) - at);
        if (QueryValue(query, "channalID") == std::to_string(channel))
            reports.push_back(query);
    }
    return reports;
}

std::string ReportAgent(const std::string& query)
{
    std::istringstream log(ReadFileBytes(Peers().dataDir + L"..\\nginx-access.log"));
    for (std::string line; std::getline(log, line);) {
        if (line.find("?" + query + " ") == std::string::npos)
            continue;
        // The combined format ends with the quoted agent.
        size_t end = line.rfind('"');
        size_t start = end == std::string::npos || end == 0 ? std::string::npos : line.rfind('"', end - 1);
        return start == std::string::npos ? std::string() : line.substr(start + 1, end - start - 1);
    }
    return {};
}

std::vector<std::string> WaitForReports(int channel, DWORD ms)
{
    DWORD start = GetTickCount();
    std::vector<std::string> reports;
    while ((reports = ReportsFor(channel)).empty() && GetTickCount() - start < ms)
        Sleep(20);
    return reports;
}

std::string QueryValue(const std::string& query, const std::string& key)
{
    std::string prefix = key + "=";
    size_t at = 0;
    while (at < query.size() && query.compare(at, prefix.size(), prefix) != 0) {
        at = query.find('&', at);
        if (at == std::string::npos)
            return {};
        ++at;
    }
    std::string value;
    for (size_t i = at + prefix.size(); i < query.size() && query[i] != '&'; ++i) {
        if (query[i] == '+')
            value += ' ';
        else if (query[i] == '%' && i + 2 < query.size())
            value += static_cast<char>(HexValue(query[i + 1]) * 16 + HexValue(query[i + 2])), i += 2;
        else
            value += query[i];
    }
    return value;
}

std::wstring FromUtf8(const std::string& text)
{
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

Shortcut ReadShortcut(const std::wstring& path)
{
    Shortcut shortcut;
    UniqueComApartment apartment = EnterComApartment();
    UniqueCom<IShellLinkW> link;
    UniqueCom<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.put()))) ||
        FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) ||
        FAILED(file.get()->Load(path.c_str(), STGM_READ)))
        return shortcut;
    shortcut.exists = true;
    wchar_t text[MAX_PATH];
    wmemset(text, L'x', MAX_PATH);
    if (SUCCEEDED(link.get()->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
        shortcut.target = text;
    wmemset(text, L'x', MAX_PATH);
    if (SUCCEEDED(link.get()->GetWorkingDirectory(text, MAX_PATH)))
        shortcut.directory = text;
    return shortcut;
}
