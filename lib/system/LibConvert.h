#pragma once

// Small conversions and queries of the utility library: byte counts to text
// and back, bitmaps to recorded pictures, the login name and the mouse
// button under a view.

#include <GraphicsDefs.h>
#include <Rect.h>
#include <SupportDefs.h>

#include "LibString.h"

class BBitmap;
class BPicture;
class BView;

// "%.*f %s" with `decimals` decimals: the count in MB above 1048576 bytes, in
// KB above 1024 bytes, else in bytes ("2.5 MB", "1.5 KB", "1024.0 bytes").
// The count is 64 bits wide, so sizes of 4 GB and more are shown as they are
// ("4096.0 MB"), never wrapped.
void LibBytesToString(const uint64& bytes, LibString& text, const int& decimals);

// A size for people to read in a window, in the largest unit it reaches:
// whole bytes below a kilobyte ("0 bytes", "55 bytes"), otherwise KB, MB or
// GB with one decimal ("1.5 KB", "2.5 MB", "48.3 GB"). Logs and messages
// keep LibBytesToString's form.
void LibSizeToString(const uint64& bytes, LibString& text);

// Reads a count written as "<number> <unit>": "KB" multiplies the number by
// 1024, "MB" by 1048576 and "bytes" by 1 (so that what LibBytesToString
// writes reads back); the product is truncated. Any other unit gives 0. A
// text without a space, or whose number is not a number, gives 0 after a
// line on standard error; so does a product beyond the range of the result.
int64 LibStringToBytes(const char* text);

// The login name: getlogin(), else the name of the current user id's entry,
// else empty.
LibString LibGetLogin();

// A new picture (the caller owns it) that draws the bitmap at the origin.
// Null when the bitmap is null or unusable.
BPicture* LibBitmapToPicture(const BBitmap* bitmap);
// The same for raw pixels of a rectangle in a colour space; the bits must
// hold as many bytes as a bitmap of that rectangle and space.
BPicture* LibBitmapToPicture(const BRect& bounds, const void* bits, const color_space& space);

// Whether the mouse buttons reported for the view (the message queue
// consulted) are exactly the secondary button.
bool LibIsMouseButton3(BView* view);
