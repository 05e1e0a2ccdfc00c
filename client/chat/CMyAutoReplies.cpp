#include "client/chat/CMyAutoReplies.h"

#include "framework/runtime/UClock.h"

namespace
{
// Answers older than the interval mean nothing: they are dropped once this many are kept, so that a
// server that cycles through user ids cannot make the memory grow.
constexpr size_t kForgetAbove = 256;
} // namespace

bool CMyAutoReplies::Take(uint32_t session, uint16_t userID, EKind kind)
{
    if (session != mSession)
    {
        mSentAt.clear();
        mSession = session;
    }
    const uint64_t now = UClock::Now();
    const auto [it, added] = mSentAt.try_emplace({userID, kind}, now);
    if (added)
    {
        if (mSentAt.size() > kForgetAbove) ForgetOld(now);
        return true;
    }
    if (now - it->second < kIntervalMs) return false;
    it->second = now;
    return true;
}

void CMyAutoReplies::ForgetOld(uint64_t now)
{
    std::erase_if(mSentAt, [now](const auto& entry) { return now - entry.second >= kIntervalMs; });
}
