// Scripted modes of a hostile or chatty server: what it sends on its own, made piece by piece as the
// network takes it (CTestServer::Play), so that a flood of thousands of transactions or of gigabytes
// costs the test server almost nothing and the client's memory can be measured on its own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CHostileScript
{
public:
    using BodyMaker = std::function<std::string(uint32_t index)>;

    // `count` transactions of one type that the server starts, back to back; `body(i)` makes the i-th
    // body (from 0).
    static CHostileScript Burst(uint16_t type, uint32_t count, BodyMaker body);
    // `count` transactions of one type, each begun with a first part of `partSize` bytes that announces a
    // body twice as large; the rest never comes.
    static CHostileScript AbandonedBodies(uint16_t type, uint32_t count, uint32_t partSize);
    // One part header of a request that announces `dataSize` bytes in this part and `totalSize` in all,
    // followed by `sentBytes` of them.
    static CHostileScript Announce(uint16_t type, uint32_t dataSize, uint32_t totalSize, uint32_t sentBytes);

    // Appends the next piece; false when the script has nothing more.
    bool Produce(std::string& out) const;
    // Transactions (or parts) begun so far.
    uint32_t Produced() const { return mState->produced; }

private:
    struct SState
    {
        std::function<bool(SState&, std::string&)> step;
        uint32_t produced = 0;
        uint32_t nextID = 0x20000000; // apart from the ids the server gives its own transactions
    };
    std::shared_ptr<SState> mState = std::make_shared<SState>();
};
