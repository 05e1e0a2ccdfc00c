// The client's keyring pointed at a bus of the test's own with the stand-in Secret Service on it, and
// pointed nowhere again when the test ends, so that no test password reaches the desktop's keyring.
#pragma once

#include <memory>

#include "platform/Keyring.h"
#include "tests/support/CFakeSecretService.h"
#include "tests/support/CPrivateBus.h"

class CTestKeyring
{
public:
    ~CTestKeyring()
    {
        if (mService) platform::SetKeyringBusAddress(QString());
    }

    // Starts the bus and the stand-in, and registers it unless the test wants a bus without a keyring
    // first (it registers the stand-in itself later). False when the bus or the stand-in did not come up.
    bool Start(bool registered = true)
    {
        if (!mBus.Start()) return false;
        mService = std::make_unique<CFakeSecretService>(mBus.Address());
        platform::SetKeyringBusAddress(mBus.Address());
        return !registered || mService->Register();
    }

    CFakeSecretService& Service() { return *mService; }
    QString Address() const { return mBus.Address(); }

private:
    CPrivateBus mBus;
    std::unique_ptr<CFakeSecretService> mService;
};
