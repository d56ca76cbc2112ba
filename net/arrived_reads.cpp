#include "net/arrived_reads.h"

#include <wininet.h>

RequestCompletion::RequestCompletion() : done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

void RequestCompletion::Arm()
{
    error_ = ERROR_SUCCESS;
    if (done_)
        ResetEvent(done_.get());
}

bool RequestCompletion::Wait()
{
    if (!done_ || WaitForSingleObject(done_.get(), INFINITE) != WAIT_OBJECT_0)
        return false;
    if (error_ == ERROR_SUCCESS)
        return true;
    SetLastError(error_);
    return false;
}

// On one of WinINet's own threads, or on the caller's inside the call. Only
// the end of a pending call matters; every other notice (resolving,
// receiving, closing) passes by.
void CALLBACK RequestCompletion::OnStatus(void*, DWORD_PTR context, DWORD status, void* information, DWORD length)
{
    if (status != INTERNET_STATUS_REQUEST_COMPLETE || !context || !information ||
        length < sizeof(INTERNET_ASYNC_RESULT))
        return;
    auto* completion = reinterpret_cast<RequestCompletion*>(context);
    // The error tells the outcome: dwResult is a flag for most calls, but a
    // byte count for a data query, which is 0 at the end of a good body.
    const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(information);
    completion->error_ = result->dwError;
    SetEvent(completion->done_.get());
}

void* OpenAsyncInternet()
{
    HINTERNET internet = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC);
    if (internet && InternetSetStatusCallbackA(internet, RequestCompletion::OnStatus) == INTERNET_INVALID_STATUS_CALLBACK) {
        InternetCloseHandle(internet);
        return nullptr;
    }
    return internet;
}

bool SendRequestAndWait(void* request, RequestCompletion& completion)
{
    completion.Arm();
    if (HttpSendRequestA(request, nullptr, 0, nullptr, 0))
        return true;
    return GetLastError() == ERROR_IO_PENDING && completion.Wait();
}

Arrival ReadArrived(void* request, RequestCompletion& completion, void* buffer, DWORD size, DWORD* got)
{
    *got = 0;
    for (;;) {
        INTERNET_BUFFERSA buffers = {};
        buffers.dwStructSize = sizeof buffers;
        buffers.lpvBuffer = buffer;
        buffers.dwBufferLength = size;
        completion.Arm();
        if (InternetReadFileExA(request, &buffers, IRF_NO_WAIT, completion.context())) {
            if (buffers.dwBufferLength > 0) {
                *got = buffers.dwBufferLength;
                return Arrival::Data;
            }
            // Nothing read and nothing under way. Wine says so only at the
            // end of the body; should a WinINet say it while bytes are still
            // to come, the query waits for them, or tells the end.
            DWORD available = 0;
            completion.Arm();
            if (InternetQueryDataAvailable(request, &available, 0, completion.context())) {
                if (available == 0)
                    return Arrival::End;
                continue;
            }
        }
        if (GetLastError() != ERROR_IO_PENDING)
            return Arrival::Failed;
        // Nothing had arrived. IRF_NO_WAIT is documented never to wait, so
        // no WinINet fills our buffer after the call; Wine's goes pending
        // instead, waits for the next bytes on a thread of its own under the
        // receive time-out and keeps them in its own buffer. The next read
        // takes them.
        if (!completion.Wait())
            return Arrival::Failed;
    }
}
