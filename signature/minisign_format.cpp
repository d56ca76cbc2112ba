#include "signature/minisign_format.h"

#include <algorithm>

namespace {

constexpr std::string_view kUntrustedPrefix = "untrusted comment: ";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";
constexpr std::string_view kFileField = "file:";

// minisign reads each line with fgets into a buffer of a fixed size: a
// line (line feed included) that does not fit is refused as too long.
constexpr size_t kUntrustedBuffer = 1024;
constexpr size_t kSignatureBuffer = 103;  // base64 of 74 bytes, CR, LF, NUL
constexpr size_t kTrustedBuffer = 8192;
constexpr size_t kGlobalBuffer = 91;  // base64 of 64 bytes, CR, LF, NUL

int Base64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Padded standard base64 of exactly out.size() bytes, decoded as minisign
// does: the length a multiple of 4, '=' only at the end, and the unused low
// bits of the last character not looked at.
template <size_t N>
bool DecodeBase64(std::string_view text, std::array<uint8_t, N>& out)
{
    if (text.empty() || text.size() % 4 != 0)
        return false;
    size_t padding = text.ends_with("==") ? 2 : text.ends_with('=') ? 1 : 0;
    if (text.size() / 4 * 3 - padding != N)
        return false;
    size_t written = 0;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text.substr(0, text.size() - padding)) {
        int value = Base64Value(c);
        if (value < 0)
            return false;
        bits = bits << 6 | static_cast<uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out[written++] = static_cast<uint8_t>(bits >> count);
        }
    }
    return written == N;
}

class LineReader {
public:
    explicit LineReader(std::string_view text) : rest_(text) {}

    // The next line, which must end in a line feed within `buffer` - 1
    // bytes; its text stops at its first CR. A NUL ends fgets' string
    // before the line feed, so minisign sees no line end and refuses it.
    std::optional<std::string_view> Next(size_t buffer)
    {
        size_t end = rest_.find('\n');
        if (end == std::string_view::npos || end + 1 > buffer - 1)
            return std::nullopt;
        std::string_view line = rest_.substr(0, end);
        rest_.remove_prefix(end + 1);
        if (line.find('\0') != std::string_view::npos)
            return std::nullopt;
        return line.substr(0, line.find('\r'));
    }

    // The last line: what one fgets reads, without a line feed at the end
    // of the file, up to its first CR, LF or NUL. The rest is never read.
    std::string_view Last(size_t buffer) const
    {
        std::string_view line = rest_.substr(0, buffer - 1);
        return line.substr(0, line.find_first_of(std::string_view("\r\n\0", 3)));
    }

private:
    std::string_view rest_;
};

}  // namespace

std::optional<std::vector<MinisignKey>> ParseMinisignKeys(std::string_view text)
{
    std::vector<MinisignKey> keys;
    while (!text.empty() && keys.size() < 3) {
        size_t space = text.find(' ');
        std::array<uint8_t, 42> raw;
        if (!DecodeBase64(text.substr(0, space), raw) || raw[0] != 'E' || raw[1] != 'd')
            return std::nullopt;
        MinisignKey& key = keys.emplace_back();
        std::copy_n(raw.begin() + 2, key.id.size(), key.id.begin());
        std::copy_n(raw.begin() + 10, key.key.size(), key.key.begin());
        if (space == std::string_view::npos)
            break;
        // A trailing space leaves an empty key, which fails to decode.
        text.remove_prefix(space + 1);
        if (text.empty())
            return std::nullopt;
    }
    if (keys.size() > 2)
        return std::nullopt;
    return keys;
}

std::optional<MinisignSignature> ParseMinisignSignature(std::string_view text)
{
    LineReader lines(text);
    auto untrusted = lines.Next(kUntrustedBuffer);
    if (!untrusted || !untrusted->starts_with(kUntrustedPrefix))
        return std::nullopt;
    auto signatureLine = lines.Next(kSignatureBuffer);
    auto trusted = lines.Next(kTrustedBuffer);
    if (!signatureLine || !trusted || !trusted->starts_with(kTrustedPrefix))
        return std::nullopt;

    std::array<uint8_t, 74> raw;
    if (!DecodeBase64(*signatureLine, raw) || raw[0] != 'E' || raw[1] != 'D')
        return std::nullopt;
    MinisignSignature out;
    std::copy_n(raw.begin() + 2, out.keyId.size(), out.keyId.begin());
    std::copy_n(raw.begin() + 10, out.signature.size(), out.signature.begin());
    out.trustedComment = trusted->substr(kTrustedPrefix.size());
    if (!DecodeBase64(lines.Last(kGlobalBuffer), out.globalSignature))
        return std::nullopt;
    return out;
}

bool TrustedCommentNamesFile(std::string_view comment, std::string_view fileName)
{
    if (fileName.empty())
        return false;
    int fileFields = 0;
    bool named = false;
    while (true) {
        size_t tab = comment.find('\t');
        std::string_view field = comment.substr(0, tab);
        if (field.starts_with(kFileField)) {
            ++fileFields;
            named = field.substr(kFileField.size()) == fileName;
        }
        if (tab == std::string_view::npos)
            break;
        comment.remove_prefix(tab + 1);
    }
    return fileFields == 1 && named;
}
