// The state of the conversations that is not on the screen: the scrambling of the hidden "scramble"
// command (its two tables, made with the first key), the pork mode of the hidden "pork" command, and who
// was answered by the automatic response or the refusal lately.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "client/chat/CMyAutoReplies.h"
#include "client/core/CMyChatLog.h"

class CMyChat
{
public:
    // On with a key of three characters (length-prefixed), off with a key of any other length; the
    // tables of the last key stay for the next time it is switched on.
    void SetScrambling(const uint8_t* key);
    bool IsScrambling() const { return mScramChat; }
    // What the user typed, scrambled and marked when scrambling is on.
    void ScrambleOutgoing(std::string& text) const;
    // A public chat line as the server sent it, with the speaker's name and a colon before the text:
    // a marked line is unscrambled in place and its mark shown, while scrambling is on.
    void UnscrambleIncoming(uint8_t* line, uint32_t size) const;

    // Every public chat line the user sends is one of the pork lines instead.
    void SetPorkMode() { mPorkMode = true; }
    bool IsPorkMode() const { return mPorkMode; }
    static const char* PorkLine();

    CMyAutoReplies& AutoReplies() { return mAutoReplies; }

    // The logs of the session numbered `serial` with the server at `address` ("host:port").
    CMyChatLog& Log() { return mLog; }
    void UseLogFor(uint32_t serial, const std::string& address)
    {
        if (serial == mLogSerial) return;
        mLogSerial = serial;
        mLog.Begin(address);
    }
    // The server the public chat's scrollback belongs to.
    std::string& PublicChatServer() { return mPublicChatServer; }

    // The online users list of the session numbered `serial` has arrived: users who join or leave after
    // it are told in the public chat, the ones of the list itself are not.
    void SetUserListArrived(uint32_t serial) { mUserListSerial = serial; }
    bool HasUserListArrived(uint32_t serial) const { return serial && mUserListSerial == serial; }

private:
    std::unique_ptr<uint8_t[]> mScramTable;
    std::unique_ptr<uint8_t[]> mUnscramTable;
    bool mScramChat = false;
    bool mPorkMode = false;
    uint32_t mUserListSerial = 0;
    CMyChatLog mLog;
    uint32_t mLogSerial = 0;
    std::string mPublicChatServer;
    CMyAutoReplies mAutoReplies;
};
