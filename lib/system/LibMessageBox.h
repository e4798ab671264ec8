#pragma once

// The one-call message boxes through which the installer tells the user
// about an error or a result. Each takes a printf format and its arguments,
// shows the text in an alert with an empty title and one button, "OK"
// (shortcut O), and returns the pressed button's index: 0, or -1 when the
// alert went away without an answer (the program quit).
//
// They may be called from any thread. A worker thread blocks until the user
// answers; a window that calls one on its own thread keeps drawing while it
// waits, and every other window goes on as usual.
//
// The text is cut to 1023 bytes, between characters, with "…" at the end to
// show that something is missing.

#include <SupportDefs.h>

#include <cstdarg>
#include <cstddef>

int32 LibError(const char* format, ...) __attribute__((format(printf, 1, 2)));
int32 LibWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
int32 LibInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Shows the information box and returns B_OK at once; the box goes away by
// itself when it is answered.
status_t LibInfoNoWait(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Our own: the text that the boxes show for a format and its arguments, cut
// as described above.
void LibComposeMessage(char* buffer, size_t size, const char* format, va_list arguments)
    __attribute__((format(printf, 3, 0)));
