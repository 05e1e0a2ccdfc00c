// The application's own messages. Handlers of received transactions post these instead of opening a
// modal box in the middle of transaction processing.
#include <algorithm>
#include <cstring>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/USound.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CFrameWindow.h"

namespace
{
// A length-prefixed text from message data, cut to what the data really holds.
void CopyPString(const void* data, uint32_t size, uint8_t (&out)[256])
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size == 0)
        out[0] = 0;
    else
        UPString::SetBytes(out, bytes + 1, std::min<uint32_t>(bytes[0], size - 1));
}

void ShowServerText(const char* title, int16_t icon, int16_t sound, const uint8_t* text)
{
    SMsgBox box{};
    box.icon = icon;
    box.sound = sound;
    box.title = reinterpret_cast<const uint8_t*>(title);
    box.message = text;
    MsgBox(box);
}
} // namespace

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
        ShowServerText("\x0EServer Message", kIconServerMessage, 1, text);
        break;
    }
    case kMsgConnectionLost:
        MsgBox(kBoxConnectionLost);
        break;
    case kMsgAdminMessage:
    {
        uint8_t text[256];
        CopyPString(data, dataSize, text);
        ShowServerText("\x15"
                       "Administrator Message",
                       kIconAdminMessage, kSoundPrivMsg, text);
        break;
    }
    case kMsgTransferClosed:
        MsgBox(kBoxTransferClosed);
        break;
    case kMsgShowAgreement:
        if (mAgreementText)
        {
            THdlObj* text = mAgreementText;
            mAgreementText = nullptr;
            DoShowAgreement(text);
        }
        break;
    case kMsgServerDisconnect:
    {
        uint8_t text[256];
        CopyPString(data, dataSize, text);
        DoDisconnect();
        MsgBox(kBoxServerDisconnect, text);
        break;
    }
    case kMsgVersionRefused:
        MsgBox(kBoxVersionRefused);
        break;
    default:
        CApplication::HandleMessage(object, msg, data, dataSize);
        break;
    }
}
