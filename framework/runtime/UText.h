// Formatting and classifying 8-bit text. Texts are bytes with explicit lengths; nothing here writes a
// terminating NUL, and every operation that fills a buffer returns the count written, never more than
// the buffer's size. `encoding` parameters are accepted for the callers' sake and ignored: all text is
// Mac OS Roman, and only its ASCII half has classes.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

class UText
{
public:
    // Character class bits. Tab, line feed, vertical tab, form feed and carriage return are controls
    // that are also white space; the blank is white space only. Bytes 0x80-0xFF have no class.
    enum : uint8_t
    {
        kClassControl = 0x01,
        kClassWhiteControl = 0x02,
        kClassBlank = 0x04,
        kClassPunctuation = 0x08,
        kClassDigit = 0x10,
        kClassHexLetter = 0x20,
        kClassLower = 0x40,
        kClassUpper = 0x80,
    };

    // Options.
    enum : uint32_t
    {
        kIntegerSeparators = 1,    // IntegerToText: a comma between groups of three digits
        kSizeLessThan1K = 1,       // SizeToText: "<1K" for 1-1023 bytes instead of the digits
        kSizeTenthBelow10K = 2,    // SizeToText: one decimal below 10K
        kEqualExact = 1,           // Equal: no case folding
        kReplaceWhiteControls = 1, // ReplaceNonPrinting: tab, line feed etc. are replaced too
        kKeepMacRomanLetters = 2,  // ReplaceNonPrinting: characters 0x80-0xFF stay (see there)
    };

    static uint8_t GetClass(uint8_t c) { return kClasses.bytes[c]; }
    // Only A-Z change.
    static uint8_t ToLower(uint8_t c) { return kLower.bytes[c]; }
    static bool IsAlphaNumeric(uint8_t c) { return (kClasses.bytes[c] & 0xD0) != 0; }
    static bool IsGraph(uint8_t c) { return (kClasses.bytes[c] & 0xD8) != 0; }
    static bool IsPrinting(uint8_t c) { return (kClasses.bytes[c] & 0xDC) != 0; }
    static bool IsSpace(uint8_t c) { return (kClasses.bytes[c] & 0x06) != 0; }

    // printf-style formatting into outBuf; stops as soon as `size` bytes are written.
    //   %[flags][width][.precision][length]conversion
    //   flags "-", "+", " ", "#", "0"; width and precision are digits or "*" (an int argument; a negative
    //   width left-justifies, a negative precision counts as none).
    //   Arguments are 32-bit: %d %i read an int (pass int32_t), %u %o %x %X read an unsigned (pass
    //   uint32_t). "h" reads the same promoted int and keeps its low 16 bits; "l" is the default 32 bits,
    //   so "%lu" takes a uint32_t, not an unsigned long; "L" has no effect. There is no 64-bit form.
    //   %c one byte (an int); %s a NUL-terminated string; %#s a length-prefixed string (const uint8_t*
    //   to the length byte); a precision limits the bytes taken from either; a null pointer prints
    //   nothing. %p takes a pointer and prints its low 32 bits as eight lower-case hexadecimal digits.
    //   %n stores the count written so far through an int32_t* (int16_t* with "h"). %% is a percent sign.
    //   "#" puts "0x"/"0X" before %x/%X and a leading 0 before %o. Any other conversion letter ends the
    //   formatting there.
    // The compiler's format checking is not used on purpose: it rejects "%#s" and "%lu" of a uint32_t.
    static uint32_t Format(void* outBuf, uint32_t size, const char* format, ...);
    static uint32_t FormatArg(void* outBuf, uint32_t size, const char* format, va_list args);

    // Signed decimal; the leftmost bytes remain when the buffer is too small.
    static uint32_t IntegerToText(void* outBuf, uint32_t size, int32_t value, uint32_t options = 0);
    // "0K", "512" or "<1K", "3K" or "3.4K", "12.5M" (K = 1024; there is no unit above M).
    static uint32_t SizeToText(uint64_t byteCount, void* outBuf, uint32_t size, uint32_t options = 0);
    // "m:ss", "h:mm:ss" from one hour, "d:hh:mm:ss" from one day.
    static uint32_t SecondsToText(uint32_t seconds, void* outBuf, uint32_t size);
    // strtol rules on at most the first 63 bytes; base 0 decides by prefix. Clamped to 32 bits.
    static int32_t TextToInteger(const void* text, uint32_t length, uint32_t encoding = 0,
                                 uint32_t base = 10);

    static bool Equal(const void* text1, uint32_t length1, const void* text2, uint32_t length2,
                      uint32_t encoding = 0, uint32_t options = 0);
    static void MakeLowercase(void* text, uint32_t length, uint32_t encoding = 0);
    // In place: every byte that is neither a letter, digit, punctuation nor the blank becomes
    // `replacement`; white-space controls are kept unless kReplaceWhiteControls is given. Without
    // kKeepMacRomanLetters every byte 0x80-0xFF is replaced too, which blanks every accented letter,
    // quote and sign of what a user typed. With it those characters stay, and the no-break space (0xCA)
    // becomes a plain blank: it looks like one, a name of only that byte must count as blank, and at the
    // end of a chat line it would pass for the end marker of scrambled chat.
    static void ReplaceNonPrinting(void* text, uint32_t length, uint32_t encoding, uint8_t replacement,
                                   uint32_t options = 0);
    // The length without trailing white space.
    static uint32_t GetVisibleLength(const void* text, uint32_t length, uint32_t encoding = 0);
    // The run of white space, or of anything else, that holds the byte at `offset`. False (start = length,
    // count 0) when the offset is at or past the end.
    static bool FindWord(const void* text, uint32_t length, uint32_t encoding, uint32_t offset,
                         uint32_t& outStart, uint32_t& outLength);

    // The lines of a text, each without its line feed. A line feed at the very end ends the last line
    // and starts no empty one; a carriage return is kept as part of its line.
    static std::vector<std::string> SplitLines(const std::string& text);

    struct SByteTable
    {
        uint8_t bytes[256];
    };

private:
    static const SByteTable kClasses;
    static const SByteTable kLower;
};
