// Reading an HTTP body as it arrives, through WinINet's asynchronous mode.
//
// A plain InternetReadFile returns only once its buffer is full or the body
// has ended. Small reads cost a call each (about 0.1 ms under Wine, which
// caps 4096-byte reads near 40 MB/s); large ones hold a slow link's bytes
// back for seconds, and a receive time-out throws away what an unfinished
// read had gathered. In synchronous mode Wine offers nothing better:
// InternetQueryDataAvailable reports, and IRF_NO_WAIT hands over, only what
// its own 8 KB buffer holds. In asynchronous mode, InternetReadFileEx with
// IRF_NO_WAIT hands over all that has arrived, up to the buffer's size, and
// the caller waits only while nothing has.
#pragma once

#include <windows.h>

#include "base/unique_resource.h"

// Where the requests of an asynchronous Internet handle report the end of a
// call that returned ERROR_IO_PENDING: give context() as the request's
// context. One call under way at a time; it must outlive the request.
class RequestCompletion {
public:
    RequestCompletion();
    RequestCompletion(const RequestCompletion&) = delete;
    RequestCompletion& operator=(const RequestCompletion&) = delete;

    DWORD_PTR context() { return reinterpret_cast<DWORD_PTR>(this); }

    // Before each call that may go pending: forgets an end reported for a
    // call that then returned at once, so that Wait never takes it for the
    // next one's.
    void Arm();

    // After a call failed with ERROR_IO_PENDING: waits for its end. False,
    // with the call's error as the last error, when it failed.
    bool Wait();

private:
    // An INTERNET_STATUS_CALLBACK (HINTERNET is a void pointer).
    static void CALLBACK OnStatus(void* handle, DWORD_PTR context, DWORD status, void* information, DWORD length);
    friend void* OpenAsyncInternet();

    UniqueHandle done_;  // auto-reset event
    DWORD error_ = 0;
};

// Handles are HINTERNETs; like UniqueInternet, this header spares its users
// <wininet.h>.

// An Internet handle (InternetOpen's) whose requests run asynchronously and
// report to the RequestCompletion they carry as their context. Null on
// failure.
void* OpenAsyncInternet();

// HttpSendRequest on such a request, waited for.
bool SendRequestAndWait(void* request, RequestCompletion& completion);

enum class Arrival {
    Data,    // *got bytes, 1 to `size`
    End,     // the body is over: its end, or a connection that was closed
    Failed,  // no byte came within the receive time-out, or the read failed
};

// Reads what has arrived of the body, up to `size` bytes, waiting only while
// nothing has.
Arrival ReadArrived(void* request, RequestCompletion& completion, void* buffer, DWORD size, DWORD* got);
