// The minisign text formats, read the way minisign 0.11 reads them. The
// keys and signatures here are shaped like minisign's but made of counting
// bytes, so that each field shows where it was taken from.
#include <gtest/gtest.h>

#include <string>

#include "signature/minisign_format.h"

namespace {

// "Ed", key id 1..8, key 100..131.
const std::string kKey = "RWQBAgMEBQYHCGRlZmdoaWprbG1ub3BxcnN0dXZ3eHl6e3x9fn+AgYKD";
// "ED", key id 1..8, signature 100..163.
const std::string kSignatureLine =
    "RUQBAgMEBQYHCGRlZmdoaWprbG1ub3BxcnN0dXZ3eHl6e3x9fn+AgYKDhIWGh4iJiouMjY6PkJGSk5SVlpeYmZqbnJ2en6ChoqM=";
// Global signature 200..255, 0..7.
const std::string kGlobalLine =
    "yMnKy8zNzs/Q0dLT1NXW19jZ2tvc3d7f4OHi4+Tl5ufo6err7O3u7/Dx8vP09fb3+Pn6+/z9/v8AAQIDBAUGBw==";
const std::string kComment = "timestamp:1700000000\tfile:kpwd_lobby.zip\thashed";

struct Lines {
    std::string untrusted = "untrusted comment: signature from minisign secret key";
    std::string signature = kSignatureLine;
    std::string trusted = "trusted comment: " + kComment;
    std::string global = kGlobalLine;
    std::string end = "\n";

    std::string Text() const { return untrusted + end + signature + end + trusted + end + global + end; }
};

template <typename Change>
std::string With(Change change)
{
    Lines lines;
    change(lines);
    return lines.Text();
}

}  // namespace

TEST(MinisignKeys, NoneOneOrTwoSeparatedByOneSpace)
{
    auto none = ParseMinisignKeys("");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());

    auto one = ParseMinisignKeys(kKey);
    ASSERT_TRUE(one);
    ASSERT_EQ(1u, one->size());
    EXPECT_EQ((MinisignKeyId{1, 2, 3, 4, 5, 6, 7, 8}), one->front().id);
    EXPECT_EQ(100, one->front().key.front());
    EXPECT_EQ(131, one->front().key.back());

    std::string other = kKey;
    other[10] = 'Z';  // in the key id
    auto two = ParseMinisignKeys(kKey + " " + other);
    ASSERT_TRUE(two);
    ASSERT_EQ(2u, two->size());
    EXPECT_EQ(one->front().id, (*two)[0].id);
    EXPECT_NE((*two)[0].id, (*two)[1].id);
}

TEST(MinisignKeys, AnythingElseIsRefused)
{
    const std::string cases[] = {
        kKey + " " + kKey + " " + kKey,
        kKey + "  " + kKey,
        " " + kKey,
        kKey + " ",
        kKey + "\t" + kKey,
        kKey.substr(0, 55),
        kKey + "A",
        kKey.substr(0, 55) + "=",      // 41 bytes
        kKey.substr(0, 55) + "-",      // not base64
        "RUQ" + kKey.substr(3),        // "ED": a signature's algorithm, not a key's
        kKey.substr(0, 20) + "=" + kKey.substr(21),  // padding before the end
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseMinisignKeys(text));
    }
}

TEST(MinisignSignatureFile, FieldsComeFromTheirPlaces)
{
    auto signature = ParseMinisignSignature(Lines().Text());
    ASSERT_TRUE(signature);
    EXPECT_EQ((MinisignKeyId{1, 2, 3, 4, 5, 6, 7, 8}), signature->keyId);
    EXPECT_EQ(100, signature->signature.front());
    EXPECT_EQ(163, signature->signature.back());
    EXPECT_EQ(kComment, signature->trustedComment);
    EXPECT_EQ(200, signature->globalSignature.front());
    EXPECT_EQ(7, signature->globalSignature.back());
}

TEST(MinisignSignatureFile, LinesEndAsMinisignEndsThem)
{
    // CR LF reads as LF; the last line needs no line feed, and nothing
    // after it is read; a CR ends a line's text.
    const std::string accepted[] = {
        With([](Lines& l) { l.end = "\r\n"; }),
        Lines().Text().substr(0, Lines().Text().size() - 1),
        Lines().Text() + "anything\n",
        With([](Lines& l) { l.global += "\rjunk"; }),
        // The longest lines fgets takes whole in minisign's buffers.
        With([](Lines& l) { l.untrusted.resize(1022, 'u'); }),
        With([](Lines& l) { l.trusted += "\t" + std::string(8190 - l.trusted.size() - 1, 't'); }),
    };
    for (const std::string& text : accepted) {
        SCOPED_TRACE(text.substr(0, 300));
        EXPECT_TRUE(ParseMinisignSignature(text));
    }
    auto cut = ParseMinisignSignature(With([](Lines& l) { l.trusted += "\r\tfile:other.zip"; }));
    ASSERT_TRUE(cut);
    EXPECT_EQ(kComment, cut->trustedComment);
}

TEST(MinisignSignatureFile, MalformedFilesAreRefused)
{
    const std::string cases[] = {
        "",
        With([](Lines& l) { l.end = "\r"; }),  // no line feed at all
        With([](Lines& l) { l.untrusted = "comment: x"; }),
        With([](Lines& l) { l.trusted = kComment; }),
        With([](Lines& l) { l.trusted = "Trusted comment: " + kComment; }),
        With([](Lines& l) { l.signature[20] = '*'; }),
        With([](Lines& l) { l.signature[20] = '='; }),
        With([](Lines& l) { l.signature = l.signature.substr(0, 96) + "AA=="; }),  // 73 bytes
        With([](Lines& l) { l.signature = l.signature.substr(0, 96) + "AAAA"; }),  // 75 bytes
        With([](Lines& l) { l.signature[1] = 'W'; }),                               // legacy "Ed"
        With([](Lines& l) { l.signature[2] = 'U'; }),                               // "EE"
        With([](Lines& l) { l.global = l.global.substr(0, 84); }),                  // 63 bytes
        With([](Lines& l) { l.global.clear(); }),
        With([](Lines& l) { l.trusted += std::string("\0", 1) + "x"; }),
        // One byte over what minisign's line buffers take.
        With([](Lines& l) { l.untrusted.resize(1023, 'u'); }),
        With([](Lines& l) { l.signature += "\r\r"; }),
        With([](Lines& l) { l.trusted += "\t" + std::string(8191 - l.trusted.size() - 1, 't'); }),
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 300));
        EXPECT_FALSE(ParseMinisignSignature(text));
    }
}

TEST(TrustedComment, NamesTheFileInExactlyOneFileField)
{
    struct Case {
        const char* comment;
        const char* name;
        bool names;
    };
    const Case cases[] = {
        {"timestamp:1700000000\tfile:kpwd_lobby.zip\thashed", "kpwd_lobby.zip", true},
        {"file:kpwd_lobby.zip", "kpwd_lobby.zip", true},
        {"timestamp:1700000000\tfile:kpwd_lobby.zip.old\thashed", "kpwd_lobby.zip", false},
        {"timestamp:1700000000\tfile:KPWD_LOBBY.ZIP\thashed", "kpwd_lobby.zip", false},
        {"timestamp:1700000000\tfile: kpwd_lobby.zip\thashed", "kpwd_lobby.zip", false},
        {"timestamp:1700000000\tfile:kpwd_lobby.zip\tfile:kpwd_lobby.zip", "kpwd_lobby.zip", false},
        {"release 2024-05 kpwd_lobby.zip", "kpwd_lobby.zip", false},
        {"timestamp:1700000000 file:kpwd_lobby.zip", "kpwd_lobby.zip", false},
        {"file:", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.comment);
        EXPECT_EQ(c.names, TrustedCommentNamesFile(c.comment, c.name));
    }
}
