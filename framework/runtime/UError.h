// Turning an SError into the texts a user and a developer read, and showing it.
#pragma once

#include "framework/runtime/SError.h"

class UError
{
public:
    static void Init() {}

    // The user text from the 'EMSG' list of the error's type; not NUL-terminated, at most maxSize bytes.
    static uint32_t GetMessage(const SError& error, void* outText, uint32_t maxSize);
    // "ID type/id [special] @ file #line" in the form the fields call for.
    static uint32_t GetDetailMessage(const SError& error, void* outText, uint32_t maxSize);
    // Blocks until the user dismisses it; silent errors show nothing.
    static void Alert(const SError& error);
    // The alert's text for an error: the user text (up to 255 bytes), two carriage returns and the detail
    // line (up to 128), NUL-terminated within maxSize; returns the count without the NUL.
    static uint32_t GetAlertText(const SError& error, char* outText, uint32_t maxSize);
    // Shows a ready text in the alert: one error's, or those of several shown together.
    static void AlertText(const char* text, uint32_t size);

    // The window toolkit installs the real alert; until then (and in tests) the text goes to stderr.
    // The text is NUL-terminated and holds the user text, two carriage returns and the detail line.
    using AlertProc = void (*)(const char* text, uint32_t size);
    static void SetAlertProc(AlertProc proc);
    // Where DebugBreak texts go; null restores the default (stderr in debug builds, nothing otherwise).
    using DebugProc = void (*)(const char* text);
    static void SetDebugProc(DebugProc proc);
};
