#include <windows.h>
#include <wininet.h>

#include "net/http_downloader.h"

HttpDownloader::Fetch HttpDownloader::FetchSmall(const char* objectPath, size_t limit, std::string* body)
{
    body->clear();
    if (!SendGet(objectPath, nullptr)) {
        // A server in trouble may answer better later; one that says the
        // object is not there, or is not for us, has answered.
        return lastStatus_ == 0 || lastStatus_ >= 500 ? Fetch::Failed : Fetch::Refused;
    }
    if (lastStatus_ != 200)
        return Fetch::Refused;
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        Arrival arrival = ReadArrived(request_.get(), completion_, chunk, sizeof chunk, &got);
        if (arrival == Arrival::Failed)
            return Fetch::Failed;
        if (arrival == Arrival::End)
            break;
        if (body->size() + got > limit) {
            body->clear();
            return Fetch::Refused;
        }
        body->append(chunk, got);
    }
    // A cut connection reads like the end of the body: only the announced
    // length tells them apart.
    ULONGLONG announced = 0;
    if (QueryContentLength(&announced) && announced != body->size())
        return Fetch::Failed;
    return Fetch::Done;
}
