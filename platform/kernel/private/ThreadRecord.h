#pragma once

// What the thread layer knows of one thread. Internal to the kernel kit.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <stop_token>
#include <string>
#include <vector>

#include <OS.h>

namespace BPrivate {

struct ThreadRecord {
    void SetName(const char* newName);
    std::string Name();

    thread_id id = -1;
    std::atomic<int32> priority { B_NORMAL_PRIORITY };
    std::atomic<thread_state> state { B_THREAD_RUNNING };
    std::atomic<bool> suspendRequested { false };
    std::atomic<bool> unwinding { false };
    std::stop_source stop;

    // Guarded by lock; condition signals start, resume and the end.
    std::mutex lock;
    std::condition_variable_any condition;
    std::string name;
    bool started = false;
    bool exited = false;
    status_t exitValue = B_OK;

    // Set once before the thread runs.
    bool spawned = false;
    bool hasHandle = false;
    pthread_t handle {};
    thread_func function = nullptr;
    void* data = nullptr;

    // Only touched by the thread itself.
    status_t exitValueOverride = B_OK;
    bool hasExitValueOverride = false;
};

std::shared_ptr<ThreadRecord> FindThreadRecord(thread_id id);
std::shared_ptr<ThreadRecord> CurrentThreadRecord();
// Every remembered thread, live or ended, by increasing id.
std::vector<std::shared_ptr<ThreadRecord>> AllThreadRecords();

} // namespace BPrivate
