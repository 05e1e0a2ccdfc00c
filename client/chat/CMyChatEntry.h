// The box a chat is typed into, beyond typing: Up and Down bring back the lines sent from it, Tab
// completes a user's name from the chat's users, and when the user cannot send from it the box is off and
// says why.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class CTextView;

class CMyChatEntry
{
public:
    static constexpr size_t kHistoryLines = 50;

    // Why the box is off; any of them turns it off, the first set is the one shown.
    enum EBlock : uint8_t
    {
        kBlockNoConnection = 0x01,
        kBlockNoRight = 0x02,
        kBlockEnded = 0x04,
    };

    // `names` gives the names the chat's users have now (length-prefixed bytes as the lists keep them).
    explicit CMyChatEntry(CTextView* view, std::function<std::vector<std::string>()> names = nullptr);
    void SetNames(std::function<std::vector<std::string>()> names) { mNames = std::move(names); }

    // A line that went out: the newest of the lines Up brings back.
    void Remember(const std::string& line);
    const std::deque<std::string>& History() const { return mHistory; }

    void SetBlocked(uint8_t reason, bool on);
    uint8_t GetBlocked() const { return mBlocked; }

    // Key handling, public for the view's key filter.
    bool Older();
    bool Newer();
    bool Complete();

private:
    void Show(const std::string& text);
    void ApplyBlocked();

    CTextView* mView;
    std::function<std::vector<std::string>()> mNames;
    std::deque<std::string> mHistory;
    // Where Up has gone: mHistory.size() while the user types a new line, whose text waits in mDraft.
    size_t mBrowse = 0;
    std::string mDraft;
    // The last completion, so that Tab again takes the next name that fits.
    std::string mCompletedText, mCompletionPrefix;
    size_t mCompletionIndex = 0, mCompletionStart = 0;
    uint8_t mBlocked = 0;
};
