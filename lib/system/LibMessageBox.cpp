#include "LibMessageBox.h"

#include <Alert.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The size of the text buffer of the boxes, terminator included.
constexpr size_t kMessageSize = 1024;
constexpr char kEllipsis[] = "\xE2\x80\xA6";

bool IsContinuationByte(char byte)
{
    return (uint8(byte) & 0xC0) == 0x80;
}

BAlert* MakeBox(alert_type type, const char* format, va_list arguments)
    __attribute__((format(printf, 2, 0)));

BAlert* MakeBox(alert_type type, const char* format, va_list arguments)
{
    char text[kMessageSize];
    LibComposeMessage(text, sizeof(text), format, arguments);
    // "OK" is the same in every language on purpose: it is the one word of
    // the boxes that is not looked up.
    BAlert* alert = new BAlert("", text, "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, type);
    alert->SetShortcut(0, 'o');
    return alert;
}

} // namespace

void LibComposeMessage(char* buffer, size_t size, const char* format, va_list arguments)
{
    if (size == 0)
        return;
    buffer[0] = '\0';
    if (format == nullptr)
        return;
    va_list copy;
    va_copy(copy, arguments);
    int length = vsnprintf(buffer, size, format, copy);
    va_end(copy);
    if (length < 0 || size_t(length) < size)
        return;

    // Too long: print the whole text, then cut it at a character boundary
    // that leaves room for the ellipsis.
    std::string whole(size_t(length) + 1, '\0');
    vsnprintf(whole.data(), whole.size(), format, arguments);
    size_t cut = size - 1 >= sizeof(kEllipsis) ? size - sizeof(kEllipsis) : 0;
    while (cut > 0 && IsContinuationByte(whole[cut]))
        cut--;
    std::memcpy(buffer, whole.data(), cut);
    buffer[cut] = '\0';
    if (cut + sizeof(kEllipsis) <= size)
        std::strcat(buffer, kEllipsis);
}

int32 LibError(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    BAlert* alert = MakeBox(B_STOP_ALERT, format, arguments);
    va_end(arguments);
    return alert->Go();
}

int32 LibWarning(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    BAlert* alert = MakeBox(B_WARNING_ALERT, format, arguments);
    va_end(arguments);
    return alert->Go();
}

int32 LibInfo(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    BAlert* alert = MakeBox(B_INFO_ALERT, format, arguments);
    va_end(arguments);
    return alert->Go();
}

status_t LibInfoNoWait(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    BAlert* alert = MakeBox(B_INFO_ALERT, format, arguments);
    va_end(arguments);
    return alert->Go(nullptr);
}
