// The readable source form of window descriptions ('WIND'), which the client builds windows from. One
// line per view, in the order the description holds them; a container's views (and a scroller's content)
// stand between a "{" that ends its line and a line "}":
//
//     window KIND STYLE | LEFT TOP RIGHT BOTTOM | TITLE
//     KIND | LEFT TOP RIGHT BOTTOM | ID [COMMAND [SIZING]] | FIELD | FIELD ...
//     size BYTES        (optional, last: the description is cut to this length)
//
// The fields each kind takes, in order (numbers are 32-bit words separated by blanks, texts are values as
// in every source, so a lone blank is written \x20):
//
//     butn  default | title          chek  title | unused style mark     gbox  title | style
//     ibtn  icon                     pict  picture                       labl  text
//     prog  value maximum            text  text | eight option words     scrl  eight option words
//     popb  one field per item: SELECTED TEXT (SELECTED 0 or 1)
//     ctrv  no fields; its views follow in a block
//
// A scroller whose first option word is 2 holds one view in a block.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace rezbuild
{
// The lines between "wind ID" and its "end", trimmed, with their line numbers. On failure returns false
// with the number of the line at fault and what is wrong.
bool BuildWindowDescription(const std::vector<std::pair<int, std::string>>& lines, std::string& outBytes,
                            int& outErrorLine, std::string& outError);
} // namespace rezbuild
