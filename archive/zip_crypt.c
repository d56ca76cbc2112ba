#include "archive/zip_crypt.h"

#include <zlib.h>

// minizip's key schedule, kept in C: its helpers use `register`.
#include "crypt.h"

void ZipCryptInit(ZipCryptKeys* keys, const char* password)
{
    init_keys(password, keys->keys, get_crc_table());
}

void ZipCryptDecode(ZipCryptKeys* keys, unsigned char* data, size_t length)
{
    const z_crc_t* table = get_crc_table();
    for (size_t i = 0; i < length; ++i) {
        int c = data[i];
        zdecode(keys->keys, table, c);
        data[i] = (unsigned char)c;
    }
}
