#include "archive/extract_entries.h"

#include <deque>
#include <memory>

#include "archive/archive_result.h"
#include "base/thread_start.h"

namespace {

// Inflated data in flight between the threads, in one ring of bytes, and
// how many events the reading thread may send ahead of the writing one. A
// small file takes little of the ring: through a run of them, the reading
// thread goes on inflating while the writing one creates their files.
constexpr size_t kRingSize = 8 << 20;
constexpr DWORD kRoomMost = 262144;  // the most one inflating call fills
constexpr DWORD kRoomLeast = 65536;  // what EntrySink promises
constexpr size_t kEventsAhead = 2048;

// What a read ends with once the writing thread has stopped; it never sees it.
constexpr uint32_t kStopped = ARCHIVE_WRITE_FAILED;

struct Event {
    enum class Kind {
        Entry,  // an entry's record, or the failure to read it
        Data,   // a piece of the current entry's data
        End,    // the end of the current entry's data, and how it went
        Over,   // every entry sent
        Lost,   // the reading thread ended without a word (out of memory)
    };
    Kind kind;
    uint32_t code = ARCHIVE_OK;  // Entry: the record's result; End: the data's
    DWORD error = 0;             // Entry: the error a failure recorded
    ZipEntry entry{};
    size_t offset = 0;  // Data: where in the ring
    DWORD size = 0;     // Data: its bytes
    size_t taken = 0;   // Data: what the writing side gives back, the end of the ring skipped before it included
};

// The events from the reading thread to the writing one, in order, and the
// ring their data lies in: lent to the one, given back by the other. A slim
// lock and a condition variable wait inside the process under Wine (on
// futexes), where an event object would cost a round trip to the server.
class Channel {
public:
    Channel() : ring_(new char[kRingSize]) {}

    char* At(size_t offset) { return ring_.get() + offset; }

    // Reading side: false (or null) once the writing side has stopped.
    bool Send(Event event)
    {
        {
            Locked locked(this);
            while (!stopped_ && events_.size() >= kEventsAhead)
                Wait();
            if (stopped_)
                return false;
            events_.push_back(std::move(event));
        }
        WakeAllConditionVariable(&changed_);
        return true;
    }

    // Room at the head of the ring, waiting until there is enough.
    char* Room(DWORD* size)
    {
        Locked locked(this);
        size_t room = 0;
        while (!stopped_ && (room = RoomAtHead()) < kRoomLeast)
            Wait();
        if (stopped_)
            return nullptr;
        *size = static_cast<DWORD>(room < kRoomMost ? room : kRoomMost);
        return At(head_);
    }

    // The first `size` bytes of the room as an event.
    bool SendRoom(DWORD size)
    {
        Event data{Event::Kind::Data};
        {
            Locked locked(this);
            data.offset = head_;
            data.size = size;
            data.taken = skipped_ + size;
            skipped_ = 0;
            head_ += size;
            used_ += size;
        }
        return Send(std::move(data));
    }

    // However the reading side ends.
    void Finish() noexcept
    {
        AcquireSRWLockExclusive(&lock_);
        finished_ = true;
        ReleaseSRWLockExclusive(&lock_);
        WakeAllConditionVariable(&changed_);
    }

    // Writing side.
    Event Receive()
    {
        Locked locked(this);
        while (events_.empty() && !finished_)
            Wait();
        if (events_.empty())
            return Event{Event::Kind::Lost};
        Event event = std::move(events_.front());
        events_.pop_front();
        WakeAllConditionVariable(&changed_);
        return event;
    }

    void GiveBack(size_t taken)
    {
        {
            Locked locked(this);
            used_ -= taken;
        }
        WakeAllConditionVariable(&changed_);
    }

    void Stop() noexcept
    {
        AcquireSRWLockExclusive(&lock_);
        stopped_ = true;
        ReleaseSRWLockExclusive(&lock_);
        WakeAllConditionVariable(&changed_);
    }

private:
    struct Locked {
        explicit Locked(Channel* channel) : channel(channel) { AcquireSRWLockExclusive(&channel->lock_); }
        ~Locked() { ReleaseSRWLockExclusive(&channel->lock_); }
        Channel* channel;
    };
    void Wait() { SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0); }

    // Free bytes in one piece from the head on. An end of the ring too
    // short for a room is skipped: counted as used until the writing side
    // gives it back with the data that follows it.
    size_t RoomAtHead()
    {
        if (used_ == 0) {
            head_ = 0;
            return kRingSize;
        }
        size_t tail = (head_ + kRingSize - used_) % kRingSize;
        if (tail > head_)
            return tail - head_;
        if (tail == head_)
            return 0;  // full
        if (kRingSize - head_ >= kRoomLeast)
            return kRingSize - head_;
        size_t end = kRingSize - head_;
        skipped_ += end;
        used_ += end;
        head_ = 0;
        return tail;
    }

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    std::unique_ptr<char[]> ring_;
    size_t head_ = 0;     // where the reading side puts data next
    size_t used_ = 0;     // bytes lent out and not given back, skipped ends included
    size_t skipped_ = 0;  // skipped, and not yet in an event
    std::deque<Event> events_;
    bool stopped_ = false;
    bool finished_ = false;
};

// The reading thread inflates straight into the ring.
class ChannelSink final : public EntrySink {
public:
    explicit ChannelSink(Channel& channel) : channel_(channel) {}

    uint32_t Room(char** room, DWORD* size) override
    {
        *room = channel_.Room(size);
        return *room ? ARCHIVE_OK : kStopped;
    }

    uint32_t Put(DWORD size) override { return channel_.SendRoom(size) ? ARCHIVE_OK : kStopped; }

private:
    Channel& channel_;
};

// The reading thread: every entry's record, and a file entry's data, in
// order, until a record fails or the writing side stops.
void ReadEntries(ZipReader& reader, int count, Channel& channel)
{
    ChannelSink sink(channel);
    for (int i = 0; i < count; ++i) {
        Event entry{Event::Kind::Entry};
        entry.code = reader.EntryInfo(i, &entry.entry);
        entry.error = entry.code == ARCHIVE_OK ? 0 : reader.lastError();
        bool read = entry.code == ARCHIVE_OK;
        bool hasData = read && !IsFolderEntry(entry.entry);
        if (!channel.Send(std::move(entry)) || !read)
            return;
        if (!hasData)
            continue;
        Event end{Event::Kind::End};
        end.code = reader.ReadEntryData(i, sink);
        if (!channel.Send(std::move(end)))
            return;
    }
    channel.Send(Event{Event::Kind::Over});
}

// The writing side: the same steps, in the same order, as ExtractInOrder.
EntriesResult WriteEntries(Channel& channel, EntryTarget& target)
{
    for (;;) {
        Event event = channel.Receive();
        switch (event.kind) {
        case Event::Kind::Entry: {
            if (event.code != ARCHIVE_OK)
                return {event.code, event.error};
            uint32_t opened = target.Open(event.entry);
            if (opened != ARCHIVE_OK)
                return {opened, target.lastError()};
            break;
        }
        case Event::Kind::Data: {
            uint32_t written = target.Write(channel.At(event.offset), event.size);
            channel.GiveBack(event.taken);
            if (written != ARCHIVE_OK) {
                target.Close(written);
                return {written, target.lastError()};
            }
            break;
        }
        case Event::Kind::End: {
            uint32_t closed = target.Close(event.code);
            if (closed != ARCHIVE_OK)
                return {closed, 0};
            break;
        }
        case Event::Kind::Over:
            return {ARCHIVE_OK, 0};
        case Event::Kind::Lost:
            if (target.HoldsFile())
                target.Close(ARCHIVE_WRITE_FAILED);
            // Nothing was written beyond the last whole entry; a local
            // failure, so that the archive is kept for another attempt.
            return {ARCHIVE_WRITE_FAILED, ERROR_NOT_ENOUGH_MEMORY};
        }
    }
}

// All of it on this thread, one entry after the other.
EntriesResult ExtractInOrder(ZipReader& reader, EntryTarget& target, int count)
{
    for (int i = 0; i < count; ++i) {
        uint32_t result = reader.ExtractEntry(i, target);
        if (result != ARCHIVE_OK)
            return {result, reader.lastError()};
    }
    return {ARCHIVE_OK, 0};
}

// The reading thread uses the reader and the channel: it is stopped and
// waited for before either goes, however the writing ends.
class ReadingThread {
public:
    ReadingThread(Channel& channel, UniqueHandle thread) : channel_(channel), thread_(std::move(thread)) {}
    ~ReadingThread()
    {
        channel_.Stop();
        WaitForSingleObject(thread_.get(), INFINITE);
    }
    ReadingThread(const ReadingThread&) = delete;
    ReadingThread& operator=(const ReadingThread&) = delete;

private:
    Channel& channel_;
    UniqueHandle thread_;
};

}  // namespace

EntriesResult ExtractEntries(ZipReader& reader, EntryTarget& target)
{
    ZipEntry summary;
    uint32_t result = reader.EntryInfo(-1, &summary);
    if (result != ARCHIVE_OK)
        return {result, 0};
    int count = summary.index;
    Channel channel;
    UniqueHandle thread = StartThread(L"archive reader", [&reader, &channel, count] {
        struct Finished {
            Channel& channel;
            ~Finished() { channel.Finish(); }
        } finished{channel};
        ReadEntries(reader, count, channel);
    });
    if (!thread)
        return ExtractInOrder(reader, target, count);
    ReadingThread reading(channel, std::move(thread));
    return WriteEntries(channel, target);
}
