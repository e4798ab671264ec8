// brenvik-inspect message FILE: prints a flattened BMessage in the layout of
// BMessage::PrintToStream.

#include "Inspect.h"

#include <cstdio>
#include <cstring>

#include <ByteOrder.h>
#include <Message.h>

namespace inspect {

namespace {

// Vector-icon documents put these four bytes before their message.
constexpr char kIconMessagePrefix[] = "IMSG";

std::string FourCharacters(const std::vector<uint8>& data)
{
    std::string text;
    for (size_t i = 0; i < 4 && i < data.size(); i++) {
        char buffer[8];
        if (data[i] >= 0x20 && data[i] < 0x7F)
            std::snprintf(buffer, sizeof(buffer), "%c", data[i]);
        else
            std::snprintf(buffer, sizeof(buffer), "\\x%02x", data[i]);
        text += buffer;
    }
    return text;
}

std::string Reason(status_t status, const std::vector<uint8>& data)
{
    switch (status) {
    case B_NOT_A_MESSAGE:
        if (data.size() >= 4 && std::memcmp(data.data(), "2BOF", 4) == 0)
            return "BeOS Dano message format is not supported";
        if (data.size() >= 4 && std::memcmp(data.data(), "1FMH", 4) == 0)
            return "big-endian Haiku message format is not supported";
        return "not a flattened message (starts with \"" + FourCharacters(data) + "\")";
    case B_BAD_DATA:
        return "damaged or truncated message";
    case B_BAD_VALUE:
        return "invalid message header";
    case B_NO_MEMORY:
        return "out of memory";
    default:
        return "cannot read message (error " + std::to_string(status) + ")";
    }
}

} // namespace

int InspectMessage(int argc, char** argv)
{
    if (argc != 1)
        return kExitUsage;
    const char* path = argv[0];
    std::vector<uint8> data;
    std::string error;
    if (!ReadWholeFile(path, &data, &error))
        return Fail(path, error);

    size_t skip = 0;
    if (data.size() >= 4 && std::memcmp(data.data(), kIconMessagePrefix, 4) == 0)
        skip = 4;
    std::vector<uint8> body(data.begin() + ssize_t(skip), data.end());
    BMessage message;
    status_t status = message.Unflatten(body.data(), body.size());
    if (status != B_OK)
        return Fail(path, Reason(status, body));
    std::string text = message.ToString();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : Fail(path, "cannot write the output");
}

} // namespace inspect
