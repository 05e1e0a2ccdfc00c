#include "tools/testserver/CHostileScript.h"

#include <algorithm>

#include "tools/testserver/TestWire.h"

namespace
{
// Pieces of about this size keep the socket busy without holding much.
constexpr size_t kPiece = 64 * 1024;
} // namespace

bool CHostileScript::Produce(std::string& out) const
{
    return mState->step && mState->step(*mState, out);
}

CHostileScript CHostileScript::Burst(uint16_t type, uint32_t count, BodyMaker body)
{
    CHostileScript script;
    script.mState->step = [type, count, body](SState& s, std::string& out)
    {
        const size_t start = out.size();
        while (s.produced < count && out.size() - start < kPiece)
        {
            STestPartHeader h;
            h.type = type;
            h.id = s.nextID++;
            out += testwire::EncodeTransaction(h, body(s.produced));
            ++s.produced;
        }
        return s.produced < count;
    };
    return script;
}

CHostileScript CHostileScript::AbandonedBodies(uint16_t type, uint32_t count, uint32_t partSize)
{
    CHostileScript script;
    // The part in progress and how much of its data is out.
    auto left = std::make_shared<uint32_t>(0);
    script.mState->step = [type, count, partSize, left](SState& s, std::string& out)
    {
        if (*left == 0)
        {
            if (s.produced == count) return false;
            STestPartHeader h;
            h.type = type;
            h.id = s.nextID++;
            h.totalSize = partSize * 2;
            h.dataSize = partSize;
            out += testwire::EncodeHeader(h);
            *left = partSize;
            ++s.produced;
        }
        const uint32_t n = std::min<uint32_t>(*left, uint32_t(kPiece));
        out.append(n, char(0x55));
        *left -= n;
        return *left > 0 || s.produced < count;
    };
    return script;
}

CHostileScript CHostileScript::Announce(uint16_t type, uint32_t dataSize, uint32_t totalSize,
                                        uint32_t sentBytes)
{
    CHostileScript script;
    auto left = std::make_shared<uint32_t>(sentBytes);
    script.mState->step = [type, dataSize, totalSize, left](SState& s, std::string& out)
    {
        if (s.produced == 0)
        {
            STestPartHeader h;
            h.type = type;
            h.id = s.nextID++;
            h.totalSize = totalSize;
            h.dataSize = dataSize;
            out += testwire::EncodeHeader(h);
            ++s.produced;
        }
        const uint32_t n = std::min<uint32_t>(*left, uint32_t(kPiece));
        out.append(n, char(0x55));
        *left -= n;
        return *left > 0;
    };
    return script;
}
