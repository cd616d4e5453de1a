// One-button message boxes: the text is formatted printf-style and shown
// whole in an alert with an "OK" button (shortcut 'O').
#pragma once

#include "SupportDefs.h"

// Stop kind; waits for the button and answers its index (0).
int32 LibError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Warning kind; waits.
int32 LibWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Information kind; waits.
int32 LibInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Information kind; returns 0 at once, the box closes itself when answered.
int32 LibInfoNoWait(const char* format, ...) __attribute__((format(printf, 1, 2)));
