#include "install/worker_queue.h"

#include <utility>

namespace {

class Locked {
public:
    explicit Locked(SRWLOCK* lock) : lock_(lock) { AcquireSRWLockExclusive(lock_); }
    ~Locked() { ReleaseSRWLockExclusive(lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    SRWLOCK* lock_;
};

}  // namespace

void WorkerQueue::Push(WorkerUpdate update)
{
    Locked locked(&lock_);
    pending_.push_back(std::move(update));
}

std::vector<WorkerUpdate> WorkerQueue::TakeAll()
{
    std::vector<WorkerUpdate> taken;
    Locked locked(&lock_);
    taken.swap(pending_);
    return taken;
}
