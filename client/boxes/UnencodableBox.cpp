#include "client/boxes/UnencodableBox.h"

#include "client/boxes/MsgBox.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CTextView.h"

bool AskToUseQuestionMarks(const char* agree, const CTextView* view, const CTextView* other)
{
    const uint32_t count = view->CountUnencodable() + (other ? other->CountUnencodable() : 0);
    if (!count) return true;
    uint8_t message[256], button[64];
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
    UPString::SetText(button, agree);
    static const uint8_t kCancel[] = "\x06"
                                     "Cancel";
    SMsgBox box{};
    box.icon = 1001;
    box.sound = 1;
    box.message = message;
    box.button1 = button;
    box.button2 = kCancel;
    return MsgBox(box) == 1;
}
