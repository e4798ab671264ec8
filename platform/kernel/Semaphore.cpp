// Counting semaphores, kept in a table of our own. Waiting on one is a
// blocking point: a killed waiter wakes and unwinds.

#include <OS.h>

#include <BlockingPoint.h>

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

struct Semaphore {
    std::mutex lock;
    std::condition_variable_any condition;
    int32 count = 0;
    int32 waiting = 0;
    bool deleted = false;
    std::string name;
};

struct SemaphoreTable {
    std::mutex lock;
    std::unordered_map<sem_id, std::shared_ptr<Semaphore>> semaphores;
    sem_id nextId = 1;
};

SemaphoreTable& Table()
{
    static SemaphoreTable* table = new SemaphoreTable;
    return *table;
}

std::shared_ptr<Semaphore> FindSemaphore(sem_id id)
{
    SemaphoreTable& table = Table();
    std::lock_guard guard(table.lock);
    auto found = table.semaphores.find(id);
    return found == table.semaphores.end() ? nullptr : found->second;
}

} // namespace

sem_id create_sem(int32 count, const char* name)
{
    if (count < 0)
        return B_BAD_VALUE;
    auto semaphore = std::make_shared<Semaphore>();
    semaphore->count = count;
    semaphore->name = name != nullptr ? name : "";
    SemaphoreTable& table = Table();
    std::lock_guard guard(table.lock);
    sem_id id = table.nextId++;
    if (table.nextId <= 0)
        table.nextId = 1;
    table.semaphores[id] = semaphore;
    return id;
}

status_t delete_sem(sem_id id)
{
    std::shared_ptr<Semaphore> semaphore;
    {
        SemaphoreTable& table = Table();
        std::lock_guard guard(table.lock);
        auto found = table.semaphores.find(id);
        if (found == table.semaphores.end())
            return B_BAD_SEM_ID;
        semaphore = found->second;
        table.semaphores.erase(found);
    }
    {
        std::lock_guard guard(semaphore->lock);
        semaphore->deleted = true;
    }
    semaphore->condition.notify_all();
    return B_OK;
}

status_t acquire_sem(sem_id id)
{
    return acquire_sem_etc(id, 1, 0, B_INFINITE_TIMEOUT);
}

status_t acquire_sem_etc(sem_id id, int32 count, uint32 flags, bigtime_t timeout)
{
    if (count <= 0)
        return B_BAD_VALUE;
    std::shared_ptr<Semaphore> semaphore = FindSemaphore(id);
    if (!semaphore)
        return B_BAD_SEM_ID;

    bigtime_t deadline = B_INFINITE_TIMEOUT;
    if ((flags & B_ABSOLUTE_TIMEOUT) != 0) {
        deadline = timeout;
    } else if ((flags & B_RELATIVE_TIMEOUT) != 0 && timeout != B_INFINITE_TIMEOUT) {
        bigtime_t now = system_time();
        deadline = timeout > B_INFINITE_TIMEOUT - now ? B_INFINITE_TIMEOUT : now + timeout;
    }

    std::unique_lock guard(semaphore->lock);
    if (semaphore->deleted)
        return B_BAD_SEM_ID;
    if (semaphore->count < count && (flags & (B_RELATIVE_TIMEOUT | B_ABSOLUTE_TIMEOUT)) != 0
        && timeout <= 0)
        return B_WOULD_BLOCK;
    BPrivate::ScopedIncrement waitCount(semaphore->waiting);
    status_t status = BPrivate::WaitInterruptibly(semaphore->condition, guard, deadline,
        [&] { return semaphore->deleted || semaphore->count >= count; });
    if (semaphore->deleted)
        return B_BAD_SEM_ID;
    if (status != B_OK)
        return status;
    semaphore->count -= count;
    return B_OK;
}

status_t release_sem(sem_id id)
{
    return release_sem_etc(id, 1, 0);
}

status_t release_sem_etc(sem_id id, int32 count, uint32 /*flags*/)
{
    if (count <= 0)
        return B_BAD_VALUE;
    std::shared_ptr<Semaphore> semaphore = FindSemaphore(id);
    if (!semaphore)
        return B_BAD_SEM_ID;
    {
        std::lock_guard guard(semaphore->lock);
        if (semaphore->deleted)
            return B_BAD_SEM_ID;
        semaphore->count += count;
    }
    semaphore->condition.notify_all();
    return B_OK;
}

status_t get_sem_count(sem_id id, int32* threadCount)
{
    if (threadCount == nullptr)
        return B_BAD_VALUE;
    std::shared_ptr<Semaphore> semaphore = FindSemaphore(id);
    if (!semaphore)
        return B_BAD_SEM_ID;
    std::lock_guard guard(semaphore->lock);
    // As on BeOS: the count, or minus the number of waiting threads.
    *threadCount = semaphore->waiting > 0 ? -semaphore->waiting : semaphore->count;
    return B_OK;
}
