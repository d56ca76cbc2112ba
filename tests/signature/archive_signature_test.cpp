// The check of a downloaded archive against its .minisig, on an archive
// and signatures that Debian's minisign made at build time with throwaway
// keys (make_fixtures.sh).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/unique_resource.h"
#include "signature/archive_signature.h"
#include "tests/support/scratch_dir.h"

namespace {

const char kName[] = "kpwd_lobby.zip";

std::wstring Fixture(const std::wstring& name)
{
    return BuildPath(L"tests/signature/fixtures/" + name);
}

std::string FixtureText(const std::wstring& name)
{
    std::string text = ReadFileBytes(Fixture(name));
    EXPECT_FALSE(text.empty()) << "missing fixture";
    return text;
}

std::string Signed()
{
    return FixtureText(L"signed.minisig");
}

std::string FirstKey()
{
    return FixtureText(L"first.pubkey");
}

UniqueFile OpenArchive()
{
    return UniqueFile(CreateFileW(Fixture(L"kpwd_lobby.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
}

bool Holds(const std::string& sidecar, const std::string& keys, const char* name = kName)
{
    UniqueFile archive = OpenArchive();
    EXPECT_TRUE(archive) << GetLastError();
    return ArchiveSignatureHolds(archive.get(), sidecar, keys, name);
}

}  // namespace

TEST(ArchiveSignature, MinisignSignatureHoldsWithEitherConfiguredKey)
{
    const std::string first = FirstKey(), second = FixtureText(L"second.pubkey");
    EXPECT_TRUE(Holds(Signed(), first));
    EXPECT_TRUE(Holds(Signed(), first + " " + second));
    // A rotation: the second of two configured keys signed it.
    EXPECT_TRUE(Holds(FixtureText(L"second.minisig"), first + " " + second));
    EXPECT_TRUE(Holds(FixtureText(L"second.minisig"), second + " " + first));
}

TEST(ArchiveSignature, KeyNotConfiguredIsRefused)
{
    const std::string first = FirstKey(), second = FixtureText(L"second.pubkey");
    EXPECT_FALSE(Holds(FixtureText(L"stranger.minisig"), first + " " + second));
    EXPECT_FALSE(Holds(FixtureText(L"second.minisig"), first));
    EXPECT_FALSE(Holds(Signed(), ""));
    EXPECT_FALSE(Holds(Signed(), first + " "));
}

TEST(ArchiveSignature, SignatureOfOtherBytesIsRefused)
{
    // The same file name over an archive whose last byte differs, and over
    // one a byte longer (as if the download had stopped short of it).
    EXPECT_FALSE(Holds(FixtureText(L"other_last_byte.minisig"), FirstKey()));
    EXPECT_FALSE(Holds(FixtureText(L"longer.minisig"), FirstKey()));
}

TEST(ArchiveSignature, SignatureNamingAnotherFileIsRefused)
{
    // These very bytes, signed under another name.
    EXPECT_FALSE(Holds(FixtureText(L"other_name.minisig"), FirstKey()));
    EXPECT_FALSE(Holds(Signed(), FirstKey(), "kpwd_lobby_old.zip"));
    EXPECT_FALSE(Holds(Signed(), FirstKey(), "KPWD_LOBBY.ZIP"));
}

TEST(ArchiveSignature, LegacySignatureOfTheWholeFileIsRefused)
{
    EXPECT_FALSE(Holds(FixtureText(L"legacy.minisig"), FirstKey()));
}

TEST(ArchiveSignature, DamagedSidecarIsRefused)
{
    const std::string sidecar = Signed();
    size_t line2 = sidecar.find('\n') + 1;
    size_t line3 = sidecar.find('\n', line2) + 1;
    size_t line4 = sidecar.find('\n', line3) + 1;
    ASSERT_NE(0u, line4);

    // Cut inside each line, and before the last one.
    for (size_t size : {line2 - 5, line3 - 10, line4 - 5, line4, sidecar.size() - 4}) {
        SCOPED_TRACE("cut to " + std::to_string(size));
        EXPECT_FALSE(Holds(sidecar.substr(0, size), FirstKey()));
    }
    // One character changed in the file's signature, in the trusted
    // comment (its timestamp) and in the global signature: each of the two
    // signatures must hold.
    for (size_t at : {line2 + 40, line3 + 30, line4 + 40}) {
        SCOPED_TRACE("changed at " + std::to_string(at));
        std::string garbled = sidecar;
        garbled[at] = garbled[at] == 'A' ? 'B' : 'A';
        EXPECT_FALSE(Holds(garbled, FirstKey()));
    }
}

TEST(ArchiveSignature, LineEndsMinisignAcceptsAreAccepted)
{
    const std::string sidecar = Signed();
    std::string crlf;
    for (char c : sidecar)
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    EXPECT_TRUE(Holds(crlf, FirstKey()));
    EXPECT_TRUE(Holds(sidecar.substr(0, sidecar.size() - 1), FirstKey()));
}

TEST(ArchiveSignature, SidecarOverSixteenKilobytesIsRefused)
{
    // minisign reads nothing after the fourth line, so only the size differs.
    std::string padded = Signed();
    padded.resize(kMaxArchiveSignatureBytes, '\n');
    EXPECT_TRUE(Holds(padded, FirstKey()));
    padded += '\n';
    EXPECT_FALSE(Holds(padded, FirstKey()));
}

TEST(ArchiveSignature, ArchiveFilePointerIsLeftWhereItWas)
{
    // The caller goes on to extract from the same handle.
    UniqueFile archive = OpenArchive();
    ASSERT_TRUE(archive) << GetLastError();
    LARGE_INTEGER at{}, now{};
    at.QuadPart = 1234;
    ASSERT_TRUE(SetFilePointerEx(archive.get(), at, nullptr, FILE_BEGIN));

    EXPECT_TRUE(ArchiveSignatureHolds(archive.get(), Signed(), FirstKey(), kName));
    ASSERT_TRUE(SetFilePointerEx(archive.get(), LARGE_INTEGER{}, &now, FILE_CURRENT));
    EXPECT_EQ(1234, now.QuadPart);
}
