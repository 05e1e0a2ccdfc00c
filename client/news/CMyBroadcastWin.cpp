#include "client/news/CMyBroadcastWin.h"

#include "client/widgets/MyDialogLabel.h"
#include "framework/ui/CLabelView.h"

namespace
{
constexpr char kBroadcastLabel[] =
    "Enter a message to display to all connected users and click the 'Send' button";
} // namespace

CMyBroadcastWin::CMyBroadcastWin()
    : CMyTextEntryWin(SRect{0, 0, 420, 216}, SRect{10, 50, 410, 170}, SRect{342, 180, 408, 206},
                      SRect{268, 183, 328, 203})
{
    SetTitle("Broadcast", 9);
    MakeDialogLabel(this, SRect{10, 10, 410, 46}, kBroadcastLabel)->SetSizing(kSizeRight);
}
