// extract_bench <archive> <destination>: one ExtractArchive call, as the
// install worker makes it. Prints the result code; exits 0 on success.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "archive/extract_archive.h"

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) {
        fprintf(stderr, "usage: extract_bench <archive> <destination>\n");
        return 2;
    }
    int result = ExtractArchive(argv[1], nullptr, argv[2]);
    if (result != 0)
        fprintf(stderr, "ExtractArchive: %#x\n", result);
    return result == 0 ? 0 : 1;
}
