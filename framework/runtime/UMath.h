// Numbers the program needs beyond the language's: random choices that nobody can predict.
#pragma once

#include <cstdint>

class UMath
{
public:
    // A number from min to max, both included, every value equally likely, drawn from the system's
    // random source. Raises when that source fails. min > max gives min.
    static uint32_t GetRandom(uint32_t min, uint32_t max);
};
