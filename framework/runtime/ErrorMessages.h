// Finds the user text of an error in the 'EMSG' list of its type along the resource search chain.
#pragma once

#include <cstdint>

// Returns the number of bytes copied, 0 when no list or no entry holds the id.
uint32_t LookUpErrorText(int16_t type, int16_t id, void* outText, uint32_t maxSize);
