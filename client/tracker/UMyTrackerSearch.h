// The search text of the servers window: words separated by blanks, a word starting with "-" excluded,
// matched case-insensitively against a server's name and description.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct STrackInfo;

class UMyTrackerSearch
{
public:
    static constexpr uint32_t kMaxWords = 24;

    struct SWord
    {
        std::string text; // lower case, without its "-"
        bool negative;
    };

    // Lower-cases the text and splits it. Runs of blanks separate words; scanning starts at the first
    // character, so a leading blank gives an empty first word (which every server matches).
    static std::vector<SWord> SplitWords(const std::string& text);
    // Every positive word occurs in the name or the description and no negative word does.
    static bool Passes(const std::vector<SWord>& words, const STrackInfo& server);
    // The one-server test: an empty text passes everything; a one-character text is one word.
    static bool FilterServer(const std::string& text, const STrackInfo& server);
    // The rule of the whole list: an empty text and "-" alone show everything, and one other character
    // shows the servers holding it; longer texts go word by word.
    static bool ShowInList(const std::string& text, const STrackInfo& server);
    static std::string ToLower(const std::string& text);
};
