#include "archive/entry_name.h"

#include <array>

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

size_t CharLength(std::string_view s, size_t i, LeadByteTest isLead)
{
    return isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// First occurrence of `pattern` that starts on a character boundary.
// The patterns are ASCII, so a match that starts on a boundary stays on them.
size_t FindAligned(std::string_view s, std::string_view pattern, LeadByteTest isLead)
{
    for (size_t i = 0; i < s.size(); i += CharLength(s, i, isLead)) {
        if (s.substr(i, pattern.size()) == pattern)
            return i;
    }
    return std::string_view::npos;
}

// Applies the first stripping rule that matches; false when none does.
bool StripOnce(std::string& name, LeadByteTest isLead)
{
    if (name.empty())
        return false;
    size_t second = CharLength(name, 0, isLead);
    if (second < name.size() && name[second] == ':') {
        name.erase(0, second + 1);
        return true;
    }
    if (IsSeparator(name[0])) {
        name.erase(0, 1);
        return true;
    }
    static constexpr std::array<std::string_view, 4> kParentSequences = {"\\..\\", "\\../", "/../", "/..\\"};
    for (std::string_view pattern : kParentSequences) {
        size_t at = FindAligned(name, pattern, isLead);
        if (at != std::string_view::npos) {
            name.erase(0, at + pattern.size());
            return true;
        }
    }
    return false;
}

bool ActsAsParent(std::string_view component)
{
    size_t dots = 0;
    for (char c : component) {
        if (c == '.')
            ++dots;
        else if (c != ' ')
            return false;
    }
    return dots >= 2;
}

}  // namespace

std::string MakeSafeEntryName(std::string_view stored, LeadByteTest isLead)
{
    std::string name(stored);
    while (StripOnce(name, isLead)) {
    }
    return name;
}

bool StaysBelowBase(std::string_view name, LeadByteTest isLead)
{
    if (!name.empty() && IsSeparator(name[0]))
        return false;
    size_t start = 0;
    size_t i = 0;
    while (i < name.size()) {
        if (IsSeparator(name[i])) {
            if (ActsAsParent(name.substr(start, i - start)))
                return false;
            start = ++i;
            continue;
        }
        if (name[i] == ':')
            return false;
        i += CharLength(name, i, isLead);
    }
    return !ActsAsParent(name.substr(start));
}

size_t FilePartOffset(std::string_view path, LeadByteTest isLead)
{
    size_t offset = 0;
    for (size_t i = 0; i < path.size(); i += CharLength(path, i, isLead)) {
        if (IsSeparator(path[i]))
            offset = i + 1;
    }
    return offset;
}

std::string_view WithoutTrailingSeparators(std::string_view path, LeadByteTest isLead)
{
    size_t end = path.size();
    // Only a separator that starts a character counts (GBK trail bytes may be 0x5C).
    while (end > 1) {
        size_t last = 0;
        for (size_t i = 0; i < end; i += CharLength(path, i, isLead))
            last = i;
        if (!IsSeparator(path[last]) || last + 1 != end || path[last - 1] == ':')
            break;
        end = last;
    }
    return path.substr(0, end);
}
