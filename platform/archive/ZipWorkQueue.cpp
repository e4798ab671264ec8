#include "ZipWorkQueue.h"

#include <algorithm>
#include <chrono>

namespace BPrivate {

namespace {

// How long the waiting thread sleeps at most between two looks at a stop.
constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr size_t kMostThreads = 4;

} // namespace

ZipWorkQueue::ZipWorkQueue(size_t threads, size_t capacity)
    : fCapacity(std::max<size_t>(capacity, 1))
{
    for (size_t i = 0; i < std::max<size_t>(threads, 1); i++)
        fThreads.emplace_back([this] { Work(); });
}

ZipWorkQueue::~ZipWorkQueue()
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        Drop();
        fClosing = true;
    }
    fJobsChanged.notify_all();
    for (std::thread& thread : fThreads)
        thread.join();
}

size_t ZipWorkQueue::ThreadsFor(size_t jobs)
{
    size_t cores = std::max<size_t>(std::thread::hardware_concurrency(), 1);
    return std::clamp<size_t>(std::min(cores, jobs), 1, kMostThreads);
}

bool ZipWorkQueue::Push(Job job, const Watch& watch)
{
    std::unique_lock<std::mutex> lock(fLock);
    while (fJobs.size() >= fCapacity) {
        if (!WaitAndWatch(lock, watch))
            return false;
    }
    fJobs.push_back(std::move(job));
    lock.unlock();
    fJobsChanged.notify_one();
    return true;
}

void ZipWorkQueue::Finish(const Watch& watch)
{
    std::unique_lock<std::mutex> lock(fLock);
    bool watching = true;
    while (!fJobs.empty() || fRunning > 0) {
        if (!watching) {
            fWaiterWake.wait(lock);
            continue;
        }
        if (!WaitAndWatch(lock, watch)) {
            Drop();
            watching = false;
        }
    }
}

void ZipWorkQueue::Nudge()
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        fNudged = true;
    }
    fWaiterWake.notify_one();
}

bool ZipWorkQueue::WaitAndWatch(std::unique_lock<std::mutex>& lock, const Watch& watch)
{
    if (!fNudged)
        fWaiterWake.wait_for(lock, kPollInterval);
    fNudged = false;
    // The watch reports and asks the caller's stop function: never under
    // the lock the jobs need.
    lock.unlock();
    bool goOn = watch();
    lock.lock();
    if (!goOn)
        Drop();
    return goOn;
}

void ZipWorkQueue::Drop()
{
    fJobs.clear();
}

void ZipWorkQueue::Work()
{
    std::unique_lock<std::mutex> lock(fLock);
    for (;;) {
        fJobsChanged.wait(lock, [this] { return fClosing || !fJobs.empty(); });
        if (fJobs.empty())
            return;
        Job job = std::move(fJobs.front());
        fJobs.pop_front();
        fRunning++;
        lock.unlock();
        // A full queue's pusher waits for this room.
        fWaiterWake.notify_one();
        job();
        lock.lock();
        fRunning--;
        fNudged = true;
        fWaiterWake.notify_one();
    }
}

} // namespace BPrivate
