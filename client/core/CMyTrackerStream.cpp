#include "client/core/CMyTrackerStream.h"

#include "client/core/UMyTrackerWire.h"
#include "framework/runtime/SError.h"

namespace
{
// Nothing more will come: a lost connection.
[[noreturn]] void FailClosed()
{
    Fail(kErrTypeTransport, 102);
}
} // namespace

bool CMyTrackerStream::Next(CMyTrackerSource& in, bool endQuietly)
{
    for (;;)
    {
        switch (mStage)
        {
        case kStageHello:
        {
            if (in.Waiting() < UMyTrackerWire::kHelloSize)
            {
                if (in.Closed()) FailClosed();
                return false;
            }
            uint8_t hello[UMyTrackerWire::kHelloSize];
            in.Read(hello, sizeof hello);
            UMyTrackerWire::CheckHello(hello);
            mStage = kStageHeader;
            break;
        }
        case kStageHeader:
        {
            if (in.Waiting() < UMyTrackerWire::kMsgHeaderSize)
            {
                if (in.Closed() && !endQuietly) FailClosed();
                return false;
            }
            uint8_t header[UMyTrackerWire::kMsgHeaderSize];
            in.Read(header, sizeof header);
            mMsgType = uint16_t((header[0] << 8) | header[1]);
            mMsgDataSize = uint32_t((header[2] << 8) | header[3]);
            mRcvdSize = 0;
            // At most 65535 bytes, whatever the tracker says.
            mMsgData.resize(mMsgDataSize);
            mStage = kStageBody;
            break;
        }
        case kStageBody:
        {
            // An empty body is whole at once: waiting for a byte that belongs to the next message would
            // stall a query whose last message it is.
            while (mRcvdSize < mMsgDataSize)
            {
                if (in.Waiting() == 0)
                {
                    if (in.Closed() && !endQuietly) FailClosed();
                    return false;
                }
                const uint32_t got = in.Read(mMsgData.data() + mRcvdSize, mMsgDataSize - mRcvdSize);
                if (got == 0) return false;
                mRcvdSize += got;
            }
            mStage = kStageHeader;
            return true;
        }
        default:
            return false;
        }
    }
}
