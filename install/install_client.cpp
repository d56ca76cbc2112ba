#include "install/install_client.h"

void InstallClient::OnProgress(HANDLE, int, DWORD elapsedMs, ULONGLONG receivedBytes, ULONGLONG totalBytes,
                               ULONGLONG offset, LONG)
{
    progress_.Record(elapsedMs, receivedBytes, totalBytes, offset);
    // After a chunk is written and before the next read: nothing is held
    // here but the open file and the request, which only this thread uses.
    gate_.Checkpoint();
}
