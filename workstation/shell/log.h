// The workstation's one way to standard error.
#pragma once

// Writes printf-style text to standard error as given (the caller ends its
// line) and flushes it.
void kestrinLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
