// Which users the client has answered by itself lately. The automatic response and the refusal notice
// answer each message, so a flood of messages would have the client send a flood of answers, and a
// program that answers answers would keep the two talking without end: a user gets at most one answer
// of each kind in ten minutes, and the messages past it are handled as ever, without one.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

class CMyAutoReplies
{
public:
    enum class EKind : uint8_t
    {
        Response,
        Refusal,
    };
    static constexpr uint64_t kIntervalMs = 10 * 60 * 1000;

    // True when an answer of that kind may go to the user now; it is then counted as sent. User ids
    // belong to one session: a new session starts with no answers sent.
    bool Take(uint32_t session, uint16_t userID, EKind kind);

private:
    void ForgetOld(uint64_t now);

    uint32_t mSession = 0;
    // When each user was last answered, by the clock (UClock) in milliseconds.
    std::map<std::pair<uint16_t, EKind>, uint64_t> mSentAt;
};
