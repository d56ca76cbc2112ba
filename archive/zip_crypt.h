// Traditional zip decryption (the 12-byte header scheme).
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    unsigned long keys[3];
} ZipCryptKeys;

void ZipCryptInit(ZipCryptKeys* keys, const char* password);
// Decrypts `length` bytes in place, advancing the keys.
void ZipCryptDecode(ZipCryptKeys* keys, unsigned char* data, size_t length);

#ifdef __cplusplus
}
#endif
