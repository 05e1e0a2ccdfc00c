// Reads big-endian numbers, length-prefixed strings and runs of bytes forward through bytes that came from
// outside the program, never past their end.
//
// A read that does not fit makes the reader bad for good: it and every read after it return 0 or nothing
// and move nothing, so a parser reads a whole record and asks Ok() once, where the answer matters. A
// length that is over the caller's limit fails the same way before anything is allocated for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CByteReader
{
public:
    CByteReader(const void* bytes, uint32_t size);

    bool Ok() const { return mOk; }
    uint32_t Offset() const { return mOffset; }
    uint32_t Left() const { return mOk ? mSize - mOffset : 0; }
    // Where the next read starts (the end of the bytes once the reader is bad).
    const uint8_t* Here() const { return mBytes + (mOk ? mOffset : mSize); }
    // For a check of the parser's own: the bytes are not what they should be.
    void MarkBad() { mOk = false; }

    uint8_t Read8();
    uint16_t Read16();
    uint32_t Read32();
    uint64_t Read64();
    bool Skip(uint32_t n);
    // The next n bytes where they lie, or nullptr.
    const uint8_t* ReadBytes(uint32_t n);

    // An 8-bit or 16-bit length and that many bytes; a length over max fails.
    std::string ReadString8(uint32_t max = 255);
    std::string ReadString16(uint32_t max = 0xFFFF);
    std::vector<uint8_t> ReadBytes16(uint32_t max = 0xFFFF);

    // Whether a whole 8-bit or 16-bit length-prefixed string is next, for formats where one that runs
    // past the end is read as nothing and the parse goes on.
    bool HasString8() const;
    bool HasString16() const;

private:
    bool Take(uint32_t n, const uint8_t*& out);
    bool Limited(uint32_t n, uint32_t max);

    const uint8_t* mBytes;
    uint32_t mSize;
    uint32_t mOffset = 0;
    bool mOk;
};
