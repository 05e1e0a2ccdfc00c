#include "client/tracker/UMyTrackerSearch.h"

#include "client/core/TrackerRecords.h"
#include "framework/runtime/UText.h"

namespace
{
bool Holds(const STrackInfo& server, const std::string& word)
{
    return server.SearchName.find(word) != std::string::npos ||
           server.SearchDesc.find(word) != std::string::npos;
}
} // namespace

std::string UMyTrackerSearch::ToLower(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower)
        c = char(UText::ToLower(uint8_t(c)));
    return lower;
}

std::vector<UMyTrackerSearch::SWord> UMyTrackerSearch::SplitWords(const std::string& text)
{
    const std::string lower = ToLower(text);
    std::vector<SWord> words;
    size_t at = 0;
    while (at < lower.size() && words.size() < kMaxWords)
    {
        size_t end = lower.find(' ', at);
        if (end == std::string::npos) end = lower.size();
        std::string word = lower.substr(at, end - at);
        const bool negative = !word.empty() && word[0] == '-';
        if (negative) word.erase(0, 1);
        words.push_back({std::move(word), negative});
        at = lower.find_first_not_of(' ', end);
        if (at == std::string::npos) break;
    }
    return words;
}

bool UMyTrackerSearch::Passes(const std::vector<SWord>& words, const STrackInfo& server)
{
    for (const SWord& w : words)
        if (Holds(server, w.text) == w.negative) return false;
    return true;
}

bool UMyTrackerSearch::FilterServer(const std::string& text, const STrackInfo& server)
{
    return text.empty() || Passes(SplitWords(text), server);
}

bool UMyTrackerSearch::ShowInList(const std::string& text, const STrackInfo& server)
{
    if (text.empty() || text == "-") return true;
    if (text.size() == 1) return Holds(server, ToLower(text));
    return Passes(SplitWords(text), server);
}
