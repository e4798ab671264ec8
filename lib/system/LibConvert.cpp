#include "LibConvert.h"

#include <Bitmap.h>
#include <Picture.h>
#include <View.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace {

constexpr uint64 kKilobyte = 1024;
constexpr uint64 kMegabyte = 1048576;
constexpr uint64 kGigabyte = 1073741824;

} // namespace

void LibBytesToString(const uint64& bytes, LibString& text, const int& decimals)
{
    if (bytes > kMegabyte)
        text.Formatted("%.*f %s", decimals, double(bytes) / double(kMegabyte), "MB");
    else if (bytes > kKilobyte)
        text.Formatted("%.*f %s", decimals, double(bytes) / double(kKilobyte), "KB");
    else
        text.Formatted("%.*f %s", decimals, double(bytes), "bytes");
}

void LibSizeToString(const uint64& bytes, LibString& text)
{
    if (bytes >= kGigabyte)
        text.Formatted("%.1f GB", double(bytes) / double(kGigabyte));
    else if (bytes >= kMegabyte)
        text.Formatted("%.1f MB", double(bytes) / double(kMegabyte));
    else if (bytes >= kKilobyte)
        text.Formatted("%.1f KB", double(bytes) / double(kKilobyte));
    else
        text.Formatted("%llu bytes", static_cast<unsigned long long>(bytes));
}

int64 LibStringToBytes(const char* text)
{
    LibString number(text != nullptr ? text : "");
    LibString unit(number);
    // The number is what comes before the first space, the unit what
    // follows it.
    long space = number.Index(' ');
    if (space < 0) {
        fprintf(stderr, "LibConvertBytes <%s> not a float\n", (const char*)number);
        return 0;
    }
    number.ToIndex(space - 1);
    unit.FromIndex(space + 1);

    // Read as a double, not a float: a float holds whole numbers exactly only
    // up to 16 M, and byte counts are often larger.
    double value = 0;
    if (!number.GetFloat64(value)) {
        fprintf(stderr, "LibConvertBytes <%s> not a float\n", (const char*)number);
        return 0;
    }
    double factor = 0;
    if (unit.Compare("KB", false) == 0)
        factor = double(kKilobyte);
    else if (unit.Compare("MB", false) == 0)
        factor = double(kMegabyte);
    else if (unit.Compare("bytes", false) == 0)
        factor = 1;
    double product = std::trunc(value * factor);
    // 2^63 is the first value that does not fit; converting it would be
    // undefined.
    if (!(std::fabs(product) < 9223372036854775808.0)) {
        fprintf(stderr, "LibConvertBytes <%s> out of range\n", (const char*)number);
        return 0;
    }
    return int64(product);
}

LibString LibGetLogin()
{
    const char* login = getlogin();
    if (login != nullptr && login[0] != '\0')
        return LibString(login);
    // getpwuid_r rather than getpwuid, whose result is shared by all threads.
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = 16384;
    std::unique_ptr<char[]> buffer(new char[size]);
    passwd entry;
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.get(), size_t(size), &found) == 0 && found != nullptr
        && found->pw_name != nullptr)
        return LibString(found->pw_name);
    return LibString();
}

BPicture* LibBitmapToPicture(const BBitmap* bitmap)
{
    if (bitmap == nullptr || !bitmap->IsValid())
        return nullptr;
    BRect bounds = bitmap->Bounds();
    BBitmap canvas(bounds, bitmap->ColorSpace(), true);
    if (!canvas.IsValid())
        return nullptr;
    BView* view = new BView(bounds, "picture", B_FOLLOW_NONE, B_WILL_DRAW);
    canvas.AddChild(view);
    canvas.Lock();
    auto picture = std::make_unique<BPicture>();
    view->BeginPicture(picture.get());
    view->DrawBitmap(bitmap, BPoint(0, 0));
    bool recorded = view->EndPicture() == picture.get();
    canvas.Unlock();
    // The canvas deletes its view.
    return recorded ? picture.release() : nullptr;
}

BPicture* LibBitmapToPicture(const BRect& bounds, const void* bits, const color_space& space)
{
    if (bits == nullptr)
        return nullptr;
    BBitmap bitmap(bounds, space);
    if (!bitmap.IsValid())
        return nullptr;
    bitmap.SetBits(bits, bitmap.BitsLength(), 0, space);
    return LibBitmapToPicture(&bitmap);
}

bool LibIsMouseButton3(BView* view)
{
    if (view == nullptr)
        return false;
    BPoint where;
    uint32 buttons = 0;
    view->GetMouse(&where, &buttons, true);
    return buttons == B_SECONDARY_MOUSE_BUTTON;
}
