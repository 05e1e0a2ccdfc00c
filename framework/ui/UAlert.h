// The framework's error alert: a warning titled "ERROR" with one OK button, waited for in the modal loop
// (UModalLoop) until dismissed.
#pragma once

#include <cstdint>

class UAlert
{
public:
    static void Show(const char* text, uint32_t size);
};
