// Text about to leave holds characters the client's character set lacks, which would go as '?'.
#pragma once

#include <cstdint>

class CTextView;

// One question for all of them, never one per character: true when there are none in the views, or
// when the user agrees to have each go as '?' (the button `agree` says what happens then, e.g. "Send").
// Runs a box: never call it from a task pass.
bool AskToUseQuestionMarks(const char* agree, const CTextView* view, const CTextView* other = nullptr);
