// Length-prefixed strings: one length byte (0-255) and that many bytes. Names, addresses and short
// texts are held so, mostly in fixed arrays whose size counts the length byte: uint8_t name[32] holds
// at most 31 bytes. These are the one place that copies, compares and unpacks them.
//
// Every operation that stores takes the destination first and its capacity (the array's size, length
// byte included), stores at most capacity - 1 and at most 255 bytes, cuts what does not fit and returns
// the length stored. The array forms take the capacity from the array's type, which is the safe choice
// wherever the destination is an array. A null source stores the empty string; a null destination or a
// capacity of 0 stores nothing. Source and destination may overlap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

class UPString
{
public:
    static constexpr uint32_t kMaxLength = 255;

    // The bytes after the length byte; empty for null.
    static std::span<const uint8_t> Bytes(const uint8_t* pstr);
    // The same bytes as text, to build a std::string or compare with a literal.
    static std::string_view Text(const uint8_t* pstr);

    // From another length-prefixed string.
    static uint8_t Copy(uint8_t* dest, uint32_t capacity, const uint8_t* src);
    // From `size` bytes at `data`: a field, a record, part of a path.
    static uint8_t SetBytes(uint8_t* dest, uint32_t capacity, const void* data, uint32_t size);
    static uint8_t SetBytes(uint8_t* dest, uint32_t capacity, std::span<const uint8_t> bytes);
    // From a NUL-terminated text.
    static uint8_t SetText(uint8_t* dest, uint32_t capacity, const char* text);

    template <size_t N>
    static uint8_t Copy(uint8_t (&dest)[N], const uint8_t* src)
    {
        return Copy(dest, uint32_t(N), src);
    }
    template <size_t N>
    static uint8_t SetBytes(uint8_t (&dest)[N], const void* data, uint32_t size)
    {
        return SetBytes(dest, uint32_t(N), data, size);
    }
    template <size_t N>
    static uint8_t SetBytes(uint8_t (&dest)[N], std::span<const uint8_t> bytes)
    {
        return SetBytes(dest, uint32_t(N), bytes);
    }
    template <size_t N>
    static uint8_t SetText(uint8_t (&dest)[N], const char* text)
    {
        return SetText(dest, uint32_t(N), text);
    }

    // Same length and same bytes; null equals the empty string.
    static bool Equal(const uint8_t* a, const uint8_t* b);
    // Byte by byte, as unsigned values; with an equal common part the shorter comes first. Negative,
    // 0 or positive: a strict weak ordering, so it may drive any sort.
    static int Compare(const uint8_t* a, const uint8_t* b);
    // The same with A-Z taken as a-z (the letters UText::ToLower folds): the order of names in lists.
    static int CompareIgnoringCase(const uint8_t* a, const uint8_t* b);
};
