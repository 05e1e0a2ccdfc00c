#include "client/boxes/UnencodableBox.h"

#include "client/boxes/MsgBoxText.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CTextView.h"

bool AskToUseQuestionMarks(const char* agree, const CTextView* view, const CTextView* other)
{
    const uint32_t count = view->CountUnencodable() + (other ? other->CountUnencodable() : 0);
    if (!count) return true;
    uint8_t message[256];
    // The characters themselves cannot be named here: the box speaks the same character set. The
    // views mark them.
    message[0] = uint8_t(
        count == 1 ? UText::Format(message + 1, 255,
                                   "One character of the text cannot be sent as it is (it is marked in "
                                   "the text).  Use \xD2?\xD3 in its place?")
                   : UText::Format(message + 1, 255,
                                   "%lu characters of the text cannot be sent as they are (they are "
                                   "marked in the text).  Use \xD2?\xD3 in their place?",
                                   count));
    return MsgBox({.icon = 1001, .sound = 1, .message = message, .button1 = agree, .button2 = "Cancel"}) == 1;
}
