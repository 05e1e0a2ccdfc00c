#include "client/news/CMyEnterMsgWin.h"

#include "client/widgets/MyDialogLabel.h"
#include "framework/ui/CIconView.h"
#include "framework/ui/CLabelView.h"

namespace
{
// The quotes are the client's character set's 0xD4 and 0xD5.
constexpr char kPostLabel[] =
    "Type a message below.  When you click \xD4Send\xD5, the message will be posted for discussion.";
} // namespace

CMyEnterMsgWin::CMyEnterMsgWin()
    : CMyTextEntryWin(SRect{0, 0, 420, 256}, SRect{10, 50, 410, 210}, SRect{342, 220, 408, 246},
                      SRect{268, 223, 328, 243})
{
    SetTitle("Post Message", 12);
    new CIconView(this, SRect{10, 10, 42, 42}, 1001);
    MakeDialogLabel(this, SRect{50, 10, 407, 46}, kPostLabel)->SetSizing(kSizeRight);
}
