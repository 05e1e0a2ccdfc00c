// The framework's error alert: a warning titled "ERROR" with one OK button that blocks until dismissed,
// while queued messages and timers keep being delivered.
#pragma once

#include <cstdint>

class UAlert
{
public:
    static void Show(const char* text, uint32_t size);
};
