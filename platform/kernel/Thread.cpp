// Threads of the kernel kit on POSIX threads. See OS.h for what kill_thread
// and suspend_thread guarantee.

#include <OS.h>

#include <BlockingPoint.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <string>
#include <unistd.h>
#include <unordered_map>
#include <unwind.h>
#include <vector>

#include "ThreadRecord.h"

namespace BPrivate {

namespace {

// Finished threads are remembered for a while so that wait_for_thread still
// returns their exit value; the oldest are forgotten beyond this count.
constexpr size_t kRememberedDeadThreads = 4096;

struct Registry {
    std::mutex lock;
    std::unordered_map<thread_id, std::shared_ptr<ThreadRecord>> threads;
    std::deque<thread_id> dead;
    thread_id nextId = 1;
    std::vector<thread_exit_hook> exitHooks;
};

Registry& TheRegistry()
{
    // Never destroyed: threads may still end while the program exits.
    static Registry* registry = new Registry;
    return *registry;
}

thread_local std::shared_ptr<ThreadRecord> tCurrent;
thread_local int tNoUnwindDepth = 0;

// Where a spawned thread's forced unwinding ends: a jump buffer in its entry
// function's frame. glibc's pthread_exit unwinds through libgcc_s.so.1,
// which it loads when the first thread exits that way, and which the
// installer, carrying its own unwinder, cannot count on finding (it aborts
// without it). So a thread stops as glibc would make it, but with the
// unwinder linked into the program: a forced unwind runs every frame's
// destructors up to the entry function, which then returns.
thread_local std::jmp_buf* tUnwindTarget = nullptr;
// The entry function's stack pointer: a frame whose canonical frame address
// the unwinder reports at or above it is the entry function's own.
thread_local uintptr_t tUnwindMark = 0;
thread_local _Unwind_Exception tUnwindException;

constexpr _Unwind_Exception_Class kUnwindClass = 0x42524e564b494c4cULL; // "BRNVKILL"

// The stack pointer of the function that calls this one.
[[gnu::noinline]] uintptr_t CallerStackPointer()
{
    return reinterpret_cast<uintptr_t>(__builtin_dwarf_cfa());
}

_Unwind_Reason_Code StopAtEntry(int, _Unwind_Action actions, _Unwind_Exception_Class,
    _Unwind_Exception*, _Unwind_Context* context, void*)
{
    // Called before each frame's cleanups, with the frame's stack pointer
    // as the address: the frames called from the entry function have run
    // theirs; the entry function's own frame is left to it.
    if ((actions & _UA_END_OF_STACK) != 0 || _Unwind_GetCFA(context) >= tUnwindMark)
        std::longjmp(*tUnwindTarget, 1);
    return _URC_NO_REASON;
}

void UnwindCleanup(_Unwind_Reason_Code, _Unwind_Exception*) { }

[[noreturn]] void UnwindThisThread()
{
    if (tUnwindTarget != nullptr) {
        tUnwindException.exception_class = kUnwindClass;
        tUnwindException.exception_cleanup = UnwindCleanup;
        _Unwind_ForcedUnwind(&tUnwindException, StopAtEntry, nullptr);
    }
    // Not in a spawned thread's entry, or the unwinder found no way up.
    pthread_exit(nullptr);
}

void RunExitHooks(thread_id id)
{
    std::vector<thread_exit_hook> hooks;
    {
        std::lock_guard guard(TheRegistry().lock);
        hooks = TheRegistry().exitHooks;
    }
    for (thread_exit_hook hook : hooks)
        hook(id);
}

void MarkExited(const std::shared_ptr<ThreadRecord>& record, status_t exitValue)
{
    {
        std::lock_guard guard(record->lock);
        record->exitValue = exitValue;
        record->exited = true;
    }
    record->condition.notify_all();

    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.dead.push_back(record->id);
    while (registry.dead.size() > kRememberedDeadThreads) {
        registry.threads.erase(registry.dead.front());
        registry.dead.pop_front();
    }
}

// Lives on the stack of every spawned thread's entry function, so that it is
// destroyed both when the function returns and when the thread is unwound
// after a kill.
class ExitNotifier {
public:
    explicit ExitNotifier(std::shared_ptr<ThreadRecord> record)
        : fRecord(std::move(record))
    {
    }
    ~ExitNotifier()
    {
        RunExitHooks(fRecord->id);
        MarkExited(fRecord, fRecord->hasExitValueOverride ? fRecord->exitValueOverride : exitValue);
        tCurrent.reset();
    }
    ExitNotifier(const ExitNotifier&) = delete;
    ExitNotifier& operator=(const ExitNotifier&) = delete;

    status_t exitValue = B_INTERRUPTED;

private:
    std::shared_ptr<ThreadRecord> fRecord;
};

void* ThreadEntry(void* argument)
{
    std::shared_ptr<ThreadRecord> record(
        std::move(*static_cast<std::shared_ptr<ThreadRecord>*>(argument)));
    delete static_cast<std::shared_ptr<ThreadRecord>*>(argument);
    tCurrent = record;

    ExitNotifier notifier(record);
    // A killed or exiting thread comes back here once its stack is unwound
    // (UnwindThisThread); returning ends it, and the notifier records it.
    std::jmp_buf unwound;
    if (setjmp(unwound) != 0) {
        tUnwindTarget = nullptr;
        return nullptr;
    }
    tUnwindTarget = &unwound;
    tUnwindMark = CallerStackPointer();
    {
        std::unique_lock guard(record->lock);
        std::stop_token token = record->stop.get_token();
        record->condition.wait(guard, token, [&] { return record->started; });
        if (token.stop_requested())
            return nullptr;
    }
    record->state.store(B_THREAD_RUNNING);
    notifier.exitValue = record->function(record->data);
    return nullptr;
}

// Adopted threads (the main thread, threads started by other libraries) get a
// record when they first ask for their id. It is dropped when they end.
class AdoptedThread {
public:
    ~AdoptedThread()
    {
        if (fRecord) {
            RunExitHooks(fRecord->id);
            MarkExited(fRecord, B_OK);
        }
    }
    std::shared_ptr<ThreadRecord> fRecord;
};

thread_local AdoptedThread tAdopted;

std::shared_ptr<ThreadRecord> NewRecord(const char* name, int32 priority)
{
    auto record = std::make_shared<ThreadRecord>();
    record->SetName(name);
    record->priority.store(priority);
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    record->id = registry.nextId++;
    if (registry.nextId <= 0)
        registry.nextId = 1;
    registry.threads[record->id] = record;
    return record;
}

} // namespace

std::shared_ptr<ThreadRecord> FindThreadRecord(thread_id id)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto found = registry.threads.find(id);
    if (found == registry.threads.end())
        return nullptr;
    return found->second;
}

std::vector<std::shared_ptr<ThreadRecord>> AllThreadRecords()
{
    std::vector<std::shared_ptr<ThreadRecord>> records;
    {
        Registry& registry = TheRegistry();
        std::lock_guard guard(registry.lock);
        records.reserve(registry.threads.size());
        for (auto& entry : registry.threads)
            records.push_back(entry.second);
    }
    std::sort(
        records.begin(), records.end(), [](const auto& a, const auto& b) { return a->id < b->id; });
    return records;
}

std::shared_ptr<ThreadRecord> CurrentThreadRecord()
{
    if (tCurrent)
        return tCurrent;
    if (!tAdopted.fRecord) {
        char name[B_OS_NAME_LENGTH] = "";
        pthread_getname_np(pthread_self(), name, sizeof(name));
        tAdopted.fRecord = NewRecord(name, B_NORMAL_PRIORITY);
        tAdopted.fRecord->handle = pthread_self();
        tAdopted.fRecord->hasHandle = true;
        tAdopted.fRecord->started = true;
        tAdopted.fRecord->state.store(B_THREAD_RUNNING);
    }
    return tAdopted.fRecord;
}

void ThreadRecord::SetName(const char* newName)
{
    std::lock_guard guard(lock);
    name = newName != nullptr ? newName : "";
    if (name.size() >= B_OS_NAME_LENGTH)
        name.resize(B_OS_NAME_LENGTH - 1);
}

std::string ThreadRecord::Name()
{
    std::lock_guard guard(lock);
    return name;
}

std::stop_token CurrentStopToken()
{
    return CurrentThreadRecord()->stop.get_token();
}

bool CurrentThreadKilled()
{
    return CurrentThreadRecord()->stop.stop_requested();
}

void thread_checkpoint()
{
    std::shared_ptr<ThreadRecord> record = CurrentThreadRecord();
    if (record->suspendRequested.load() && !record->stop.stop_requested()) {
        std::unique_lock guard(record->lock);
        thread_state previous = record->state.exchange(B_THREAD_SUSPENDED);
        record->condition.wait(
            guard, record->stop.get_token(), [&] { return !record->suspendRequested.load(); });
        record->state.store(previous);
    }
    if (!record->stop.stop_requested() || tNoUnwindDepth > 0 || !record->spawned)
        return;
    if (record->unwinding.exchange(true))
        return;
    // Forced unwinding: every destructor on the way up runs, and the thread's
    // entry function records the end (see ExitNotifier).
    UnwindThisThread();
}

ThreadStateScope::ThreadStateScope(thread_state state)
    : fPrevious(CurrentThreadRecord()->state.exchange(state))
{
}

ThreadStateScope::~ThreadStateScope()
{
    CurrentThreadRecord()->state.store(fPrevious);
}

NoUnwindScope::NoUnwindScope()
{
    tNoUnwindDepth++;
}

NoUnwindScope::~NoUnwindScope()
{
    tNoUnwindDepth--;
}

void AddThreadExitHook(thread_exit_hook hook)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    if (std::find(registry.exitHooks.begin(), registry.exitHooks.end(), hook)
        == registry.exitHooks.end())
        registry.exitHooks.push_back(hook);
}

} // namespace BPrivate

using BPrivate::CurrentThreadRecord;
using BPrivate::FindThreadRecord;
using BPrivate::ThreadRecord;

thread_id spawn_thread(thread_func function, const char* name, int32 priority, void* data)
{
    if (function == nullptr)
        return B_BAD_VALUE;
    std::shared_ptr<ThreadRecord> record = BPrivate::NewRecord(name, priority);
    record->function = function;
    record->data = data;
    record->spawned = true;
    record->state.store(B_THREAD_SUSPENDED);

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    auto* argument = new std::shared_ptr<ThreadRecord>(record);
    std::unique_lock guard(record->lock);
    int error = pthread_create(&record->handle, &attributes, BPrivate::ThreadEntry, argument);
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        delete argument;
        guard.unlock();
        BPrivate::MarkExited(record, B_NO_MORE_THREADS);
        return B_NO_MORE_THREADS;
    }
    record->hasHandle = true;
    std::string shortName = record->name.substr(0, 15);
    pthread_setname_np(record->handle, shortName.c_str());
    return record->id;
}

status_t resume_thread(thread_id thread)
{
    std::shared_ptr<ThreadRecord> record = FindThreadRecord(thread);
    if (!record || record->exited)
        return B_BAD_THREAD_ID;
    {
        std::lock_guard guard(record->lock);
        if (record->exited)
            return B_BAD_THREAD_ID;
        if (!record->started) {
            record->started = true;
        } else if (record->suspendRequested.load()) {
            record->suspendRequested.store(false);
        } else {
            return B_BAD_THREAD_STATE;
        }
    }
    record->condition.notify_all();
    return B_OK;
}

status_t suspend_thread(thread_id thread)
{
    std::shared_ptr<ThreadRecord> record = FindThreadRecord(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    {
        std::lock_guard guard(record->lock);
        if (record->exited)
            return B_BAD_THREAD_ID;
        if (!record->started)
            return B_OK;
        record->suspendRequested.store(true);
    }
    if (record == CurrentThreadRecord())
        BPrivate::thread_checkpoint();
    return B_OK;
}

status_t kill_thread(thread_id thread)
{
    std::shared_ptr<ThreadRecord> record = FindThreadRecord(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    {
        std::lock_guard guard(record->lock);
        if (record->exited)
            return B_BAD_THREAD_ID;
        if (!record->spawned)
            return B_NOT_ALLOWED;
    }
    // request_stop wakes every interruptible wait of the thread, including the
    // start gate of a thread that was never resumed.
    record->stop.request_stop();
    if (record == CurrentThreadRecord())
        BPrivate::thread_checkpoint();
    return B_OK;
}

status_t wait_for_thread(thread_id thread, status_t* exitValue)
{
    std::shared_ptr<ThreadRecord> record = FindThreadRecord(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    if (record == CurrentThreadRecord())
        return B_DONT_DO_THAT;
    std::unique_lock guard(record->lock);
    // A thread that was never resumed is started by waiting for it, as on BeOS.
    if (!record->started && !record->exited) {
        record->started = true;
        record->condition.notify_all();
    }
    status_t status = BPrivate::WaitInterruptibly(
        record->condition, guard, B_INFINITE_TIMEOUT, [&] { return record->exited; });
    if (status != B_OK)
        return status;
    if (exitValue != nullptr)
        *exitValue = record->exitValue;
    return B_OK;
}

status_t rename_thread(thread_id thread, const char* newName)
{
    if (newName == nullptr)
        return B_BAD_VALUE;
    std::shared_ptr<ThreadRecord> record = FindThreadRecord(thread);
    if (!record || record->exited)
        return B_BAD_THREAD_ID;
    record->SetName(newName);
    return B_OK;
}

status_t set_thread_priority(thread_id thread, int32 newPriority)
{
    std::shared_ptr<ThreadRecord> record = FindThreadRecord(thread);
    if (!record || record->exited)
        return B_BAD_THREAD_ID;
    if (newPriority < B_IDLE_PRIORITY || newPriority > B_REAL_TIME_PRIORITY)
        return B_BAD_VALUE;
    // Linux does not let ordinary processes raise thread priorities; the value
    // is kept and reported, which is all the callers rely on.
    return record->priority.exchange(newPriority);
}

void exit_thread(status_t status)
{
    std::shared_ptr<ThreadRecord> record = CurrentThreadRecord();
    if (!record->spawned) {
        // An adopted thread (the main thread) has no entry function of ours to
        // return to; ending it like a spawned one would end the process.
        pthread_exit(nullptr);
    }
    record->exitValueOverride = status;
    record->hasExitValueOverride = true;
    record->unwinding.store(true);
    BPrivate::UnwindThisThread();
}

thread_id find_thread(const char* name)
{
    if (name == nullptr)
        return CurrentThreadRecord()->id;
    BPrivate::CurrentThreadRecord();
    for (auto& record : BPrivate::AllThreadRecords()) {
        if (!record->exited && record->Name() == name)
            return record->id;
    }
    return B_NAME_NOT_FOUND;
}
