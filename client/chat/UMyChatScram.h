// The reversible scrambling of public chat text: consonants, vowels and digits are each permuted among
// themselves by a three-character key, so that users who share the key read each other while everybody
// else sees nonsense. Text between double quotes is left as it is, so quoted names and addresses stay
// readable to all.
#pragma once

#include <cstdint>

class UMyChatScram
{
public:
    // Marks a scrambled line at its end; shown as kShownMarker.
    static constexpr uint8_t kEndMarker = 0xCA;
    static constexpr uint8_t kShownMarker = 0xA5;
    static constexpr uint32_t kKeyLength = 3;

    // Writes a permutation of the characters of `set` (length-prefixed) into `table`, at the entries
    // those characters index; other entries are not touched. a, b and c come from the key; 10 and more
    // count as 9.
    //
    // The cursor walks a pool of the set's characters: it advances by a and, past the end, jumps to b;
    // a free slot there sends it on by (character code x c) / 102 and, past the end, to c; a free slot
    // there is taken. A jump target outside a pool shorter than 10 is taken modulo the pool's size:
    // the five vowels would otherwise be sent beyond their pool, and longer sets never are, so for them
    // this is the plain walk. Every character takes one slot that was free, so the result is always a
    // permutation.
    static void BuildSubsTable(const uint8_t* set, uint32_t a, uint32_t b, uint32_t c, uint8_t* table);
    // Fills `scram` (256 entries) for the key and `unscram` as its inverse. Bytes outside the
    // scrambled sets map to themselves.
    static void MakeTables(const uint8_t key[kKeyLength], uint8_t* scram, uint8_t* unscram);
    // Maps the bytes through `table` in place, skipping every pair of double quotes with what they
    // enclose; a quote without a partner leaves the rest as it is.
    static void Scramble(uint8_t* data, uint32_t size, const uint8_t* table);
};
