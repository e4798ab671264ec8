#pragma once

// Jobs handed by the thread that walks an archive to a few threads that
// write its files. The queue is bounded, so the walk never runs far ahead of
// the writing; and whoever waits on it (to push, or for the end) keeps
// looking up: a watch function runs on the waiting thread at every wake-up,
// to report progress and to notice a stop, and can end the wait.
//
//     ZipWorkQueue queue(ZipWorkQueue::ThreadsFor(files), 32);
//     for (...)
//         if (!queue.Push([&] { ...; queue.Nudge(); }, watch))
//             break;               // watch said to give up
//     queue.Finish(watch);         // every job pushed has ended
//
// A job that is still queued when the watch gives up is dropped, never run.

#include <SupportDefs.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace BPrivate {

class ZipWorkQueue {
public:
    using Job = std::function<void()>;
    // Called on the waiting thread; false ends the wait and drops the jobs
    // not yet started.
    using Watch = std::function<bool()>;

    ZipWorkQueue(size_t threads, size_t capacity);
    // Drops what is queued and waits for the jobs running.
    ~ZipWorkQueue();
    ZipWorkQueue(const ZipWorkQueue&) = delete;
    ZipWorkQueue& operator=(const ZipWorkQueue&) = delete;

    // The threads worth starting for this many jobs: one per core, at most
    // four (beyond that the disk, not inflating, sets the pace).
    static size_t ThreadsFor(size_t jobs);

    // Queues a job, waiting while the queue is full; false when watch gave
    // up first (the job is then not queued).
    bool Push(Job job, const Watch& watch);
    // Waits until every queued job has ended, or watch gives up (then the
    // jobs not yet started are dropped, and the running ones waited for).
    void Finish(const Watch& watch);
    // Wakes the waiting thread early (a job made progress worth reporting).
    void Nudge();

private:
    void Work();
    // Waits for a change or the poll interval; false when watch gave up.
    bool WaitAndWatch(std::unique_lock<std::mutex>& lock, const Watch& watch);
    void Drop();

    std::mutex fLock;
    std::condition_variable fJobsChanged;
    std::condition_variable fWaiterWake;
    std::deque<Job> fJobs;
    size_t fCapacity;
    size_t fRunning = 0;
    bool fNudged = false;
    bool fClosing = false;
    std::vector<std::thread> fThreads;
};

} // namespace BPrivate
