// libFuzzer target: any input must be refused or read; what is read must
// print, flatten and read back to the same bytes.

#include <Message.h>

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BMessage message;
    if (message.Unflatten(data, size) != B_OK) {
        if (!message.IsEmpty() || message.what != 0)
            std::abort();
        return 0;
    }
    message.ToString();
    ssize_t flattenedSize = message.FlattenedSize();
    if (flattenedSize < 0)
        std::abort();
    std::vector<char> flattened(static_cast<size_t>(flattenedSize));
    if (message.Flatten(flattened.data(), flattenedSize) != B_OK)
        std::abort();

    BMessage again;
    if (again.Unflatten(flattened.data(), flattened.size()) != B_OK)
        std::abort();
    std::vector<char> second(flattened.size());
    if (again.FlattenedSize() != flattenedSize
        || again.Flatten(second.data(), flattenedSize) != B_OK || second != flattened)
        std::abort();
    return 0;
}
