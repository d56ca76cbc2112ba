#include "install/install_client.h"

InstallClient::InstallClient() : noReport_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

void InstallClient::OnProgress(HANDLE, int, DWORD elapsedMs, ULONGLONG receivedBytes, ULONGLONG totalBytes,
                               ULONGLONG offset, LONG)
{
    progress_.Record(elapsedMs, receivedBytes, totalBytes, offset);
    // After a chunk is written and before the next read: nothing is held
    // here but the open file and the request, which only this thread uses.
    // A stop ends the transfer after this chunk.
    if (!gate_.Checkpoint())
        SetStopFlag(2);
}

void InstallClient::Stop()
{
    gate_.Stop();
    SetStopFlag(2);
}

InstallClient::ReportUnderWay::ReportUnderWay(InstallClient& client) : client_(client)
{
    ResetEvent(client_.noReport_.get());
}

InstallClient::ReportUnderWay::~ReportUnderWay()
{
    SetEvent(client_.noReport_.get());
}

void InstallClient::WaitForReport(DWORD ms) const
{
    WaitForSingleObject(noReport_.get(), ms);
}
