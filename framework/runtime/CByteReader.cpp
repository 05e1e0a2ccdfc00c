#include "framework/runtime/CByteReader.h"

CByteReader::CByteReader(const void* bytes, uint32_t size)
    : mBytes(static_cast<const uint8_t*>(bytes)), mSize(bytes ? size : 0), mOk(bytes != nullptr || size == 0)
{
}

bool CByteReader::Take(uint32_t n, const uint8_t*& out)
{
    if (!mOk || n > mSize - mOffset)
    {
        mOk = false;
        return false;
    }
    out = mBytes + mOffset;
    mOffset += n;
    return true;
}

bool CByteReader::Limited(uint32_t n, uint32_t max)
{
    if (n > max) mOk = false;
    return mOk;
}

uint8_t CByteReader::Read8()
{
    const uint8_t* p;
    return Take(1, p) ? p[0] : 0;
}

uint16_t CByteReader::Read16()
{
    const uint8_t* p;
    return Take(2, p) ? uint16_t(p[0] << 8 | p[1]) : 0;
}

uint32_t CByteReader::Read32()
{
    const uint8_t* p;
    return Take(4, p) ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3] : 0;
}

uint64_t CByteReader::Read64()
{
    const uint8_t* p;
    if (!Take(8, p)) return 0;
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = v << 8 | p[i];
    return v;
}

bool CByteReader::Skip(uint32_t n)
{
    const uint8_t* p;
    return Take(n, p);
}

const uint8_t* CByteReader::ReadBytes(uint32_t n)
{
    const uint8_t* p;
    return Take(n, p) ? p : nullptr;
}

std::string CByteReader::ReadString8(uint32_t max)
{
    const uint32_t n = Read8();
    const uint8_t* p;
    if (!Limited(n, max) || !Take(n, p)) return std::string();
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::string CByteReader::ReadString16(uint32_t max)
{
    const uint32_t n = Read16();
    const uint8_t* p;
    if (!Limited(n, max) || !Take(n, p)) return std::string();
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::vector<uint8_t> CByteReader::ReadBytes16(uint32_t max)
{
    const uint32_t n = Read16();
    const uint8_t* p;
    if (!Limited(n, max) || !Take(n, p)) return std::vector<uint8_t>();
    return std::vector<uint8_t>(p, p + n);
}

bool CByteReader::HasString8() const
{
    const uint32_t left = Left();
    return left >= 1 && left - 1 >= Here()[0];
}

bool CByteReader::HasString16() const
{
    const uint32_t left = Left();
    return left >= 2 && left - 2 >= (uint32_t(Here()[0]) << 8 | Here()[1]);
}
