// How a conversation line is shown: the local time before it when the user wants times, his own name in
// bold on his own lines, and a tint on lines of others that name him or a word he watches for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ui/CTextView.h"

struct SMyChatLineStyle
{
    bool timeStamps = false;
    // "14:05"; taken once for all the lines of one arrival.
    int hour = 0, minute = 0;
    // The user's name (length-prefixed) and the words he watches for (lower case, ASCII letters only
    // folded); no mentions when `mentions` is off.
    const uint8_t* ownName = nullptr;
    bool mentions = false;
    std::vector<std::string> words;
};

struct SMyChatLine
{
    std::string text;
    std::vector<STextRun> runs;
    bool own = false;
    bool mention = false;
};

class UMyChatLine
{
public:
    // `line` as the server sent it: a carriage return, the speaker's name and a colon ("*** name" for an
    // action), then what was said; or a line of the client's own (joins, renames), which is never a
    // mention.
    static SMyChatLine Decorate(const void* line, uint32_t length, const SMyChatLineStyle& style);
    // The watched words of the options: separated by blanks or commas, lower-cased.
    static std::vector<std::string> SplitWords(const std::string& list);
    // Whether `word` (lower case) stands in `text` as a word of its own, ASCII case ignored.
    static bool HasWord(const uint8_t* text, uint32_t length, const std::string& word);
};
