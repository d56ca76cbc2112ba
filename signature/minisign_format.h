// The text formats of minisign: public keys and signature files (.minisig),
// read the way minisign 0.11 reads them. Plain parsing; the cryptography is
// in archive_signature.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using MinisignKeyId = std::array<uint8_t, 8>;

// A public key: the base64 line of minisign.pub, decoded ("Ed", key id,
// 32-byte Ed25519 key).
struct MinisignKey {
    MinisignKeyId id;
    std::array<uint8_t, 32> key;
};

// The keys of a build value: "" (none), one key, or two separated by one
// space. Nothing when anything else is in the text.
std::optional<std::vector<MinisignKey>> ParseMinisignKeys(std::string_view text);

// A signature file in the prehashed form ("ED"): `signature` is over the
// BLAKE2b-512 hash of the file, `globalSignature` over `signature` followed
// by `trustedComment`.
struct MinisignSignature {
    MinisignKeyId keyId;
    std::array<uint8_t, 64> signature;
    std::string trustedComment;
    std::array<uint8_t, 64> globalSignature;
};

// Four lines: "untrusted comment: ...", the base64 of algorithm, key id and
// signature, "trusted comment: <text>", the base64 of the global
// signature. As in minisign, a line ends at its first CR (so CRLF files
// read the same), the last line needs no line feed, and what follows it is
// not read. Nothing when the text is not such a file, or when it is in the
// legacy form ("Ed", signing the file itself), which is refused.
std::optional<MinisignSignature> ParseMinisignSignature(std::string_view text);

// True when the trusted comment's tab-separated fields hold exactly one
// "file:" field, and it is "file:<fileName>". minisign writes by default
// "timestamp:<seconds>\tfile:<base name>\thashed".
bool TrustedCommentNamesFile(std::string_view comment, std::string_view fileName);
