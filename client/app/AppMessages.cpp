// The application's own messages. Handlers of received transactions post these instead of opening a
// modal box in the middle of transaction processing. The boxes they open are notices: one box of a kind
// at a time, and what comes while it is up is shown together when it closes (UNoticeBox).
#include <algorithm>
#include <cstring>
#include <utility>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/MsgBoxText.h"
#include "client/boxes/UNoticeBox.h"
#include "client/boxes/USound.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UError.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CFrameWindow.h"

namespace
{
// The session whose refused login brings the connect dialog back once the server's box saying why is
// closed (0: none waits): a dialog opened inside that box's loop would hide the reason under it.
uint32_t gConnectAgainSerial = 0;

// A length-prefixed text from message data, cut to what the data really holds.
void CopyPString(const void* data, uint32_t size, uint8_t (&out)[256])
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size == 0)
        out[0] = 0;
    else
        UPString::SetBytes(out, bytes + 1, std::min<uint32_t>(bytes[0], size - 1));
}

// A box built in code, whose texts come from the server: the kind is the message that carries them.
void ShowServerText(uint32_t kind, const char* title, int16_t icon, int16_t sound, const uint8_t* text)
{
    // A box needs a message: a text of nothing but line breaks and blanks would show an empty box.
    bool empty = true;
    for (uint32_t i = 1; i <= text[0] && empty; ++i)
        empty = text[i] <= 0x20 || text[i] == 0x7F;
    if (empty) return;
    UNoticeBox::Show(kind, text + 1, text[0],
                     [=](const void* message, uint32_t size) {
                         MsgBox({.icon = icon,
                                 .sound = sound,
                                 .title = title,
                                 .longMessage = message,
                                 .longMessageSize = size});
                     });
}
} // namespace

void CMyApplication::Error(const SError& error)
{
    // Errors are notices too: a failure repeated by every transaction of a burst must not stack its
    // alerts inside each other.
    if (error.silent) return;
    if (error.type != kErrTypeTransport)
    {
        char text[400];
        const uint32_t size = UError::GetAlertText(error, text, sizeof text);
        UNoticeBox::Show(kMsgError, text, size,
                         [](const void* all, uint32_t allSize)
                         { UError::AlertText(static_cast<const char*>(all), allSize); });
        return;
    }
    UApplication::ShowWantsAttention();
    uint8_t text[256];
    text[0] = uint8_t(UError::GetMessage(error, text + 1, 255));
    UNoticeBox::ShowNumbered(kBoxNetworkError, text, &mSettings.sound);
}

void CMyApplication::HandleMessage(void* object, uint32_t msg, const void* data, uint32_t dataSize)
{
    switch (msg)
    {
    case kMsgDataArrived:
    case kMsgTimeout:
    case kMsgReadyToSend:
    case kMsgDisconnected:
    case kMsgConnectRequest:
    case kMsgConnectEstablished:
    case kMsgConnectFailed:
        ProcessAll();
        break;
    case kMsgGoURL:
        DoGoURL(data, dataSize);
        break;
    case kMsgMenuItem:
        if (dataSize >= sizeof(SMenuHitData))
        {
            SMenuHitData hit;
            std::memcpy(&hit, data, sizeof(hit));
            DoMacMenuBar(int16_t(hit.menu), int16_t(hit.item));
        }
        break;
    case kMsgServerMessage:
    {
        uint8_t text[256];
        CopyPString(data, dataSize, text);
        ShowServerText(msg, "Server Message", kIconServerMessage, 1, text);
        if (gConnectAgainSerial && !UNoticeBox::IsShowing(msg))
            mConnection.ShowConnectAgain(std::exchange(gConnectAgainSerial, 0));
        break;
    }
    case kMsgConnectionLost:
        // A session that had logged in carries its serial: its box offers to connect again.
        if (dataSize == sizeof(uint32_t))
        {
            uint32_t serial;
            std::memcpy(&serial, data, sizeof serial);
            mConnection.ShowConnectionLost(serial);
        }
        else
            UNoticeBox::ShowNumbered(kBoxConnectionLost);
        break;
    case kMsgAdminMessage:
    {
        uint8_t text[256];
        CopyPString(data, dataSize, text);
        ShowServerText(msg, "Administrator Message", kIconAdminMessage, kSoundPrivMsg, text);
        break;
    }
    case kMsgTransferClosed:
        mCutTransferBox.TransferCut(mSession.Serial());
        break;
    case kMsgFoldedMessages:
        UNoticeBox::ShowWaiting(msg,
                                [](const void* text, uint32_t size) {
                                    MsgBox({.sound = kSoundPrivMsg,
                                            .title = "Messages",
                                            .longMessage = text,
                                            .longMessageSize = size});
                                });
        break;
    case kMsgFolderGone:
        UNoticeBox::ShowWaiting(msg,
                                [](const void* text, uint32_t size) {
                                    MsgBox({.title = "Files", .longMessage = text, .longMessageSize = size});
                                });
        break;
    case kMsgLoginRefused:
        if (dataSize == sizeof(uint32_t))
        {
            uint32_t serial;
            std::memcpy(&serial, data, sizeof serial);
            if (UNoticeBox::IsShowing(kMsgServerMessage))
                gConnectAgainSerial = serial;
            else
                mConnection.ShowConnectAgain(serial);
        }
        break;
    case kMsgCheckLink:
        mSession.CheckLink();
        break;
    case kMsgShowAgreement:
        if (mSession.HasAgreement()) DoShowAgreement(mSession.TakeAgreement());
        break;
    case kMsgServerDisconnect:
    {
        uint8_t text[256];
        CopyPString(data, dataSize, text);
        DoDisconnect();
        UNoticeBox::ShowNumbered(kBoxServerDisconnect, text);
        break;
    }
    case kMsgVersionRefused:
        UNoticeBox::ShowNumbered(kBoxVersionRefused);
        break;
    default:
        CApplication::HandleMessage(object, msg, data, dataSize);
        break;
    }
}
