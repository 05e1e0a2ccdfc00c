#include "framework/runtime/UText.h"

#include <cstring>

namespace
{
// Writes into the caller's buffer and never past it; once full, formatting stops.
class Sink
{
public:
    Sink(void* buffer, uint32_t size) : mBuffer(static_cast<uint8_t*>(buffer)), mSize(size) {}

    bool Full() const { return mCount >= mSize; }
    uint32_t Count() const { return mCount; }

    void Put(uint8_t c)
    {
        if (mCount < mSize) mBuffer[mCount++] = c;
    }
    void Put(const void* bytes, uint32_t n)
    {
        n = Clamp(n);
        if (n) std::memcpy(mBuffer + mCount, bytes, n);
        mCount += n;
    }
    void Repeat(uint8_t c, uint32_t n)
    {
        n = Clamp(n);
        if (n) std::memset(mBuffer + mCount, c, n);
        mCount += n;
    }

private:
    uint32_t Clamp(uint32_t n) const { return n < mSize - mCount ? n : mSize - mCount; }

    uint8_t* mBuffer;
    uint32_t mSize;
    uint32_t mCount = 0;
};

struct SConversion
{
    bool left = false;
    bool plus = false;
    bool blank = false;
    bool alternate = false;
    bool zero = false;
    bool hasPrecision = false;
    bool half = false;
    uint32_t width = 0;
    uint32_t precision = 0;
};

// Widths and precisions only bound loops over a bounded buffer, so a huge one is merely clamped.
constexpr uint32_t kMaxField = 0x7FFFFFFF;

uint32_t ReadNumber(const uint8_t*& f)
{
    uint32_t n = 0;
    while (*f >= '0' && *f <= '9')
    {
        n = n > kMaxField / 10 ? kMaxField : n * 10 + (*f - '0');
        ++f;
    }
    return n > kMaxField ? kMaxField : n;
}

uint32_t FieldFromInt(int value)
{
    return value < 0 ? uint32_t(-int64_t(value)) : uint32_t(value);
}

void PutField(Sink& out, const SConversion& c, const void* text, uint32_t length)
{
    uint32_t pad = c.width > length ? c.width - length : 0;
    if (!c.left) out.Repeat(' ', pad);
    out.Put(text, length);
    if (c.left) out.Repeat(' ', pad);
}

void PutNumber(Sink& out, const SConversion& c, uint32_t magnitude, bool negative, uint8_t letter)
{
    char sign = 0;
    if (letter == 'd' || letter == 'i') sign = negative ? '-' : c.plus ? '+' : c.blank ? ' ' : 0;

    uint32_t base = letter == 'o' ? 8 : (letter == 'x' || letter == 'X') ? 16 : 10;
    const char* digitSet = letter == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    char digits[12];
    uint32_t digitCount = 0;
    char* p = digits + sizeof(digits);
    // Without a precision one digit is always written; a precision of 0 writes none for 0.
    if (magnitude != 0 || !c.hasPrecision || c.precision != 0)
    {
        do
        {
            *--p = digitSet[magnitude % base];
            magnitude /= base;
            ++digitCount;
        } while (magnitude);
    }

    char prefix[2];
    uint32_t prefixLength = 0;
    if (c.alternate && base == 16)
    {
        prefix[0] = '0';
        prefix[1] = char(letter);
        prefixLength = 2;
    }

    uint32_t zeros = c.hasPrecision && c.precision > digitCount ? c.precision - digitCount : 0;
    if (c.alternate && base == 8 && zeros == 0 && (digitCount == 0 || *p != '0')) zeros = 1;
    uint32_t fixed = (sign ? 1 : 0) + prefixLength + digitCount;
    if (c.zero && !c.left && !c.hasPrecision && c.width > fixed + zeros) zeros = c.width - fixed;

    uint32_t total = fixed + zeros;
    uint32_t pad = c.width > total ? c.width - total : 0;
    if (!c.left) out.Repeat(' ', pad);
    if (sign) out.Put(uint8_t(sign));
    out.Put(prefix, prefixLength);
    out.Repeat('0', zeros);
    out.Put(p, digitCount);
    if (c.left) out.Repeat(' ', pad);
}
} // namespace

uint32_t UText::Format(void* outBuf, uint32_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    uint32_t count = FormatArg(outBuf, size, format, args);
    va_end(args);
    return count;
}

uint32_t UText::FormatArg(void* outBuf, uint32_t size, const char* format, va_list args)
{
    if (!outBuf || !format) return 0;
    Sink out(outBuf, size);
    const uint8_t* f = reinterpret_cast<const uint8_t*>(format);
    while (*f && !out.Full())
    {
        if (*f != '%')
        {
            out.Put(*f++);
            continue;
        }
        ++f;

        SConversion c;
        for (;; ++f)
        {
            if (*f == '-')
                c.left = true;
            else if (*f == '+')
                c.plus = true;
            else if (*f == ' ')
                c.blank = true;
            else if (*f == '#')
                c.alternate = true;
            else if (*f == '0')
                c.zero = true;
            else
                break;
        }
        if (*f == '*')
        {
            int width = va_arg(args, int);
            if (width < 0) c.left = true;
            c.width = FieldFromInt(width);
            ++f;
        }
        else
            c.width = ReadNumber(f);
        if (*f == '.')
        {
            ++f;
            c.hasPrecision = true;
            if (*f == '*')
            {
                int precision = va_arg(args, int);
                c.hasPrecision = precision >= 0;
                c.precision = c.hasPrecision ? uint32_t(precision) : 0;
                ++f;
            }
            else
                c.precision = ReadNumber(f);
        }
        for (; *f == 'h' || *f == 'l' || *f == 'L'; ++f)
            if (*f == 'h') c.half = true;

        uint8_t letter = *f;
        switch (letter)
        {
        case '%':
            out.Put('%');
            break;
        case 'c':
        {
            uint8_t byte = uint8_t(va_arg(args, int));
            PutField(out, c, &byte, 1);
            break;
        }
        case 'd':
        case 'i':
        {
            int32_t value = va_arg(args, int);
            if (c.half) value = int16_t(value);
            bool negative = value < 0;
            PutNumber(out, c, negative ? 0u - uint32_t(value) : uint32_t(value), negative, letter);
            break;
        }
        case 'u':
        case 'o':
        case 'x':
        case 'X':
        {
            uint32_t value = va_arg(args, unsigned);
            if (c.half) value = uint16_t(value);
            PutNumber(out, c, value, false, letter);
            break;
        }
        case 'p':
        {
            uint32_t value = uint32_t(reinterpret_cast<uintptr_t>(va_arg(args, void*)));
            char hex[8];
            for (int i = 7; i >= 0; --i, value >>= 4)
                hex[i] = "0123456789abcdef"[value & 0xF];
            PutField(out, c, hex, 8);
            break;
        }
        case 's':
        {
            const uint8_t* text;
            uint32_t length;
            if (c.alternate)
            {
                const uint8_t* pstr = va_arg(args, const uint8_t*);
                text = pstr ? pstr + 1 : nullptr;
                length = pstr ? pstr[0] : 0;
                if (c.hasPrecision && c.precision < length) length = c.precision;
            }
            else
            {
                const char* cstr = va_arg(args, const char*);
                text = reinterpret_cast<const uint8_t*>(cstr);
                // With a precision the string need not be terminated within it.
                length = !cstr            ? 0
                         : c.hasPrecision ? uint32_t(strnlen(cstr, c.precision))
                                          : uint32_t(strlen(cstr));
            }
            PutField(out, c, text, length);
            break;
        }
        case 'n':
            if (c.half)
            {
                int16_t* target = va_arg(args, int16_t*);
                if (target) *target = int16_t(out.Count());
            }
            else
            {
                int32_t* target = va_arg(args, int32_t*);
                if (target) *target = int32_t(out.Count());
            }
            break;
        default:
            // An unknown letter, or the end of the format in mid-conversion.
            return out.Count();
        }
        ++f;
    }
    return out.Count();
}
