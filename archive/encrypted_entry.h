// The plain data of a traditionally encrypted entry, made from its raw
// (still encrypted, still compressed) bytes. The bundled unzip code is built
// without decryption, so encrypted entries are read raw and finished here.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/zip_crypt.h"
#include "archive/zip_handles.h"

class EncryptedEntryData {
public:
    // `method` 0 (stored) or 8 (deflated); anything else fails in Produce.
    EncryptedEntryData(const char* password, int method, uint64_t uncompressedSize);

    // The 12-byte encryption header; false when its last byte, decrypted,
    // is not `check` (the password is wrong).
    bool AcceptHeader(const unsigned char header[12], unsigned char check);

    // Room for the next raw bytes; Feed decrypts the `length` put there.
    unsigned char* Input() { return input_.data(); }
    unsigned InputSize() const { return static_cast<unsigned>(input_.size()); }
    void Feed(unsigned length);

    // Plain bytes from what was fed: > 0 delivered, 0 when more input is
    // needed (or the end was reached), < 0 when the data is corrupt.
    int Produce(unsigned char* out, unsigned size);
    bool AtEnd() const { return remaining_ == 0; }
    uint32_t Crc() const { return crc_; }

private:
    int Inflate(unsigned char* out, unsigned size);

    ZipCryptKeys keys_;
    int method_;
    uint64_t remaining_;
    uint32_t crc_;
    std::vector<unsigned char> input_;
    const unsigned char* next_ = nullptr;
    unsigned available_ = 0;
    UniqueInflateStream stream_;
    bool streamEnded_ = false;
};
