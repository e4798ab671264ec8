#pragma once

// Small typed values among an executable's resources, found by type and id.
// Each function fills its output and returns true only when a resource of its
// type and id exists and has exactly the size of the value; a resource of
// any other size counts as absent.

#include <GraphicsDefs.h>
#include <Rect.h>
#include <Resources.h>

// 'RGBC', 4 bytes: red, green, blue, alpha.
bool LibFindRGBResource(BResources& resources, const int32& id, rgb_color& color);
// 'RECT', 16 bytes: left, top, right, bottom as 32-bit floats.
bool LibFindRectResource(BResources& resources, const int32& id, BRect& rect);
// 'BYTE', 1 byte, signed.
bool LibFindShortResource(BResources& resources, const int32& id, int8& value);
// 'LONG', 4 bytes, signed.
bool LibFindLongResource(BResources& resources, const int32& id, int32& value);
// 'BOOL', 1 byte.
bool LibFindBoolResource(BResources& resources, const int32& id, bool& value);
// 'CSTR', any size: the text is copied into buffer, which holds bufferSize
// bytes (it is emptied first, and the copy is cut to fit with its NUL).
bool LibFindStringResource(
    BResources& resources, const int32& id, char* buffer, const size_t& bufferSize);
