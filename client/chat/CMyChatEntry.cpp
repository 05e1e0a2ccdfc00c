#include "client/chat/CMyChatEntry.h"

#include <algorithm>

#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CTextView.h"

namespace
{
uint8_t LowerLetter(uint8_t c)
{
    return (c >= 'A' && c <= 'Z') ? uint8_t(c + ('a' - 'A')) : c;
}

bool StartsWithFolded(const std::string& text, const std::string& prefix)
{
    if (prefix.size() > text.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (LowerLetter(uint8_t(text[i])) != LowerLetter(uint8_t(prefix[i]))) return false;
    return true;
}
} // namespace

CMyChatEntry::CMyChatEntry(CTextView* view, std::function<std::vector<std::string>()> names)
    : mView(view), mNames(std::move(names))
{
    mView->SetKeyFilter(
        [this](const SKeyMsgData& key)
        {
            if (key.mods & (kModCtrl | kModAlt | kModShift)) return false;
            if (key.keyCode == kKeyUp) return Older();
            if (key.keyCode == kKeyDown) return Newer();
            if (key.keyChar == '\t') return Complete();
            return false;
        });
}

void CMyChatEntry::Remember(const std::string& line)
{
    if (line.empty()) return;
    if (mHistory.empty() || mHistory.back() != line) mHistory.push_back(line);
    while (mHistory.size() > kHistoryLines)
        mHistory.pop_front();
    mBrowse = mHistory.size();
    mDraft.clear();
}

void CMyChatEntry::Show(const std::string& text)
{
    mView->SetText(text.data(), uint32_t(text.size()));
    mView->MoveCursorToEnd();
}

bool CMyChatEntry::Older()
{
    // Up inside a text of several lines moves between its lines, as everywhere else.
    const std::string text = mView->GetText();
    if (text.find('\r') != std::string::npos &&
        text.rfind('\r', mView->GetCursorPosition()) != std::string::npos && mView->GetCursorPosition() > 0)
        return false;
    if (mBrowse > mHistory.size()) mBrowse = mHistory.size();
    if (mBrowse == 0) return !mHistory.empty();
    if (mBrowse == mHistory.size()) mDraft = text;
    Show(mHistory[--mBrowse]);
    return true;
}

bool CMyChatEntry::Newer()
{
    const std::string text = mView->GetText();
    if (text.find('\r', mView->GetCursorPosition()) != std::string::npos) return false;
    if (mBrowse >= mHistory.size()) return false;
    ++mBrowse;
    Show(mBrowse == mHistory.size() ? mDraft : mHistory[mBrowse]);
    return true;
}

bool CMyChatEntry::Complete()
{
    std::string text = mView->GetText();
    const size_t cursor = std::min<size_t>(mView->GetCursorPosition(), text.size());
    // Tab again right after a completion takes the next name that fits what was typed.
    const bool again = !mCompletedText.empty() && text == mCompletedText && cursor == text.size();
    size_t wordStart = cursor;
    std::string prefix;
    if (again)
    {
        prefix = mCompletionPrefix;
        wordStart = mCompletionStart;
    }
    else
    {
        while (wordStart > 0 && text[wordStart - 1] != ' ' && text[wordStart - 1] != '\r')
            --wordStart;
        prefix = text.substr(wordStart, cursor - wordStart);
    }
    if (prefix.empty()) return true;
    std::vector<std::string> fits;
    if (!mNames) return true;
    for (const std::string& name : mNames())
        if (StartsWithFolded(name, prefix) && std::find(fits.begin(), fits.end(), name) == fits.end())
            fits.push_back(name);
    if (fits.empty()) return true;
    std::sort(fits.begin(), fits.end());
    mCompletionIndex = again ? (mCompletionIndex + 1) % fits.size() : 0;
    // A name at the start of the line is spoken to: "Name: ".
    const std::string tail = wordStart == 0 ? ": " : " ";
    const std::string after = again ? std::string() : text.substr(cursor);
    text = text.substr(0, wordStart) + fits[mCompletionIndex] + tail + after;
    mView->SetText(text.data(), uint32_t(text.size()));
    mView->SetCursorPosition(uint32_t(text.size() - after.size()));
    mCompletedText = after.empty() ? text : std::string();
    mCompletionPrefix = prefix;
    mCompletionStart = wordStart;
    return true;
}

void CMyChatEntry::SetBlocked(uint8_t reason, bool on)
{
    const uint8_t before = mBlocked;
    mBlocked = on ? uint8_t(mBlocked | reason) : uint8_t(mBlocked & ~reason);
    if (mBlocked != before) ApplyBlocked();
}

void CMyChatEntry::ApplyBlocked()
{
    mView->SetEnable(!mBlocked);
    if (mBlocked & kBlockEnded)
        mView->SetPlaceholder("This private chat has ended.");
    else if (mBlocked & kBlockNoConnection)
        mView->SetPlaceholder("Not connected: nothing can be sent.");
    else if (mBlocked & kBlockNoRight)
        mView->SetPlaceholder("You may not send chat on this server (no \"Can Send Chat\" right).");
    else
        mView->SetPlaceholder(nullptr);
}
