// Owners of the archive library's own resources, on the shared template.
#pragma once

#include <unzip.h>
#include <zlib.h>

#include "base/unique_resource.h"

namespace unique_traits {

struct ZipArchive {
    using Type = unzFile;
    static Type Invalid() { return nullptr; }
    static void Close(Type f) { unzClose(f); }
};

// A z_stream set up with inflateInit2; the owner also frees its memory.
struct InflateStream {
    using Type = z_stream*;
    static Type Invalid() { return nullptr; }
    static void Close(Type s)
    {
        inflateEnd(s);
        delete s;
    }
};

}  // namespace unique_traits

using UniqueZipArchive = UniqueResource<unique_traits::ZipArchive>;
using UniqueInflateStream = UniqueResource<unique_traits::InflateStream>;
