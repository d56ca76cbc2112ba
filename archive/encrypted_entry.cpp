#include "archive/encrypted_entry.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned kInputSize = 16384;

}  // namespace

EncryptedEntryData::EncryptedEntryData(const char* password, int method, uint64_t uncompressedSize)
    : method_(method), remaining_(uncompressedSize), crc_(crc32(0, nullptr, 0)), input_(kInputSize)
{
    ZipCryptInit(&keys_, password ? password : "");
    if (method_ != Z_DEFLATED)
        return;
    auto* stream = new z_stream();
    if (inflateInit2(stream, -MAX_WBITS) != Z_OK) {
        delete stream;
        return;
    }
    stream_.reset(stream);
}

bool EncryptedEntryData::AcceptHeader(const unsigned char header[12], unsigned char check)
{
    unsigned char plain[12];
    memcpy(plain, header, sizeof plain);
    ZipCryptDecode(&keys_, plain, sizeof plain);
    return plain[11] == check;
}

void EncryptedEntryData::Feed(unsigned length)
{
    length = std::min(length, InputSize());
    ZipCryptDecode(&keys_, input_.data(), length);
    next_ = input_.data();
    available_ = length;
}

int EncryptedEntryData::Produce(unsigned char* out, unsigned size)
{
    // Never more than the central directory promised, as for plain entries.
    if (remaining_ < size)
        size = static_cast<unsigned>(remaining_);
    if (size == 0)
        return 0;
    int got = 0;
    if (method_ == 0) {
        got = static_cast<int>(std::min(size, available_));
        memcpy(out, next_, got);
        next_ += got;
        available_ -= got;
    } else if (method_ == Z_DEFLATED && stream_) {
        got = Inflate(out, size);
    } else {
        return -1;
    }
    if (got > 0) {
        crc_ = crc32(crc_, out, static_cast<uInt>(got));
        remaining_ -= static_cast<unsigned>(got);
    }
    return got;
}

int EncryptedEntryData::Inflate(unsigned char* out, unsigned size)
{
    z_stream* s = stream_.get();
    if (streamEnded_)
        return -1;  // the stream ended short of the promised size
    s->next_in = const_cast<Bytef*>(next_);
    s->avail_in = available_;
    s->next_out = out;
    s->avail_out = size;
    int status = inflate(s, Z_SYNC_FLUSH);
    next_ = s->next_in;
    available_ = s->avail_in;
    int got = static_cast<int>(size - s->avail_out);
    if (status == Z_STREAM_END)
        streamEnded_ = true;
    else if (status != Z_OK && !(status == Z_BUF_ERROR && got == 0))
        return -1;
    if (got == 0 && streamEnded_)
        return -1;
    return got;
}
