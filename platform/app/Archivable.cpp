#include <Archivable.h>

#include <map>
#include <mutex>
#include <string>

namespace {

struct ClassTable {
    std::mutex lock;
    std::map<std::string, instantiation_func> functions;
};

ClassTable& Classes()
{
    static ClassTable* table = new ClassTable;
    return *table;
}

} // namespace

BArchivable::BArchivable() = default;

BArchivable::BArchivable(BMessage* /*from*/) { }

BArchivable::~BArchivable() = default;

status_t BArchivable::Archive(BMessage* into, bool /*deep*/) const
{
    if (into == nullptr)
        return B_BAD_VALUE;
    return B_OK;
}

BArchivable* BArchivable::Instantiate(BMessage* /*from*/)
{
    return nullptr;
}

bool validate_instantiation(BMessage* from, const char* className)
{
    if (from == nullptr || className == nullptr)
        return false;
    const char* name = nullptr;
    for (int32 index = 0; from->FindString("class", index, &name) == B_OK; index++) {
        if (std::string(name) == className)
            return true;
    }
    return false;
}

instantiation_func find_instantiation_func(const char* className)
{
    if (className == nullptr)
        return nullptr;
    ClassTable& table = Classes();
    std::lock_guard guard(table.lock);
    auto found = table.functions.find(className);
    return found == table.functions.end() ? nullptr : found->second;
}

BArchivable* instantiate_object(BMessage* from)
{
    if (from == nullptr)
        return nullptr;
    // The most derived class is added first; try each in order.
    const char* name = nullptr;
    for (int32 index = 0; from->FindString("class", index, &name) == B_OK; index++) {
        if (instantiation_func function = find_instantiation_func(name))
            return function(from);
    }
    return nullptr;
}

void RegisterArchivableClass(const char* className, instantiation_func function)
{
    if (className == nullptr || function == nullptr)
        return;
    ClassTable& table = Classes();
    std::lock_guard guard(table.lock);
    table.functions[className] = function;
}
