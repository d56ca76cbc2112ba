#include "signature/archive_signature.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "signature/minisign_format.h"

namespace {

// Large enough that the hash, not the system calls, sets the pace.
constexpr DWORD kReadBlock = 1 << 20;

using Hash = std::array<uint8_t, crypto_generichash_BYTES_MAX>;

bool SodiumReady()
{
    // sodium_init also picks the fastest hash code for this processor. A
    // function-local static makes the one call safe from any thread.
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// BLAKE2b-512 of everything in the file, read at explicit offsets.
bool HashContents(HANDLE file, Hash& hash)
{
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, hash.size());
    auto block = std::make_unique_for_overwrite<unsigned char[]>(kReadBlock);
    for (uint64_t offset = 0;;) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        if (!ReadFile(file, block.get(), kReadBlock, &got, &at)) {
            // A read that starts at the end fails with this on Windows.
            if (GetLastError() != ERROR_HANDLE_EOF)
                return false;
            got = 0;
        }
        if (got == 0)
            break;
        crypto_generichash_update(&state, block.get(), got);
        offset += got;
    }
    crypto_generichash_final(&state, hash.data(), hash.size());
    return true;
}

// The same, leaving the file pointer alone: on a handle opened for
// synchronous I/O a read at an explicit offset still moves the pointer to
// the end of what it read, so it is put back.
bool HashArchive(HANDLE file, Hash& hash)
{
    LARGE_INTEGER position{};
    if (!SetFilePointerEx(file, LARGE_INTEGER{}, &position, FILE_CURRENT))
        return false;
    bool hashed = HashContents(file, hash);
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && hashed;
}

}  // namespace

bool ArchiveSignatureHolds(HANDLE archive, std::string_view sidecar, std::string_view keys,
                           std::string_view fileName)
{
    if (sidecar.size() > kMaxArchiveSignatureBytes || !SodiumReady())
        return false;
    auto configured = ParseMinisignKeys(keys);
    auto signature = ParseMinisignSignature(sidecar);
    if (!configured || !signature || !TrustedCommentNamesFile(signature->trustedComment, fileName))
        return false;
    auto key = std::find_if(configured->begin(), configured->end(),
                            [&](const MinisignKey& k) { return k.id == signature->keyId; });
    if (key == configured->end())
        return false;

    // The global signature binds the trusted comment (and so the file name)
    // to this signature; it is checked before the archive is read through.
    std::vector<unsigned char> covered(signature->signature.begin(), signature->signature.end());
    covered.insert(covered.end(), signature->trustedComment.begin(), signature->trustedComment.end());
    if (crypto_sign_verify_detached(signature->globalSignature.data(), covered.data(), covered.size(),
                                    key->key.data()) != 0)
        return false;

    Hash hash;
    if (!HashArchive(archive, hash))
        return false;
    return crypto_sign_verify_detached(signature->signature.data(), hash.data(), hash.size(), key->key.data()) == 0;
}
