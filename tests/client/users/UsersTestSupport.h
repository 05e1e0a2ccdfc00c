// What the users and news tests share: an application that records what it hands to the chat feature,
// the event sounds heard, and the server's notices about users.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "client/boxes/USound.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "tests/support/CAppHarness.h"

namespace userstest
{
using testwire::CFields;

// A user change the chats were told of: the user's name and the name the users list knew (none for a
// user who was not listed).
struct SChange
{
    uint16_t id;
    std::string name;
    std::optional<std::string> oldName;
};

// A private message or broadcast handed to the chat feature.
struct SShown
{
    uint16_t senderID;
    std::string text;
    bool isBroadcast;
};

class CRecordingApp : public CMyApplication
{
public:
    std::vector<SChange> changes;
    std::vector<SShown> shown;

    void ShowUserChangeInChats(const SUserEntry& user, const uint8_t* oldName) override
    {
        changes.push_back({user.id, CAppHarness::Str(user.name),
                           oldName ? std::optional<std::string>(CAppHarness::Str(oldName)) : std::nullopt});
        CMyApplication::ShowUserChangeInChats(user, oldName);
    }
    void DoShowMessage(TFieldDataObj* fields, bool isBroadcast) override
    {
        std::string text(UFieldData::GetFieldSize(fields, kFieldData), '\0');
        UFieldData::GetField(fields, kFieldData, text.data(), uint32_t(text.size()));
        shown.push_back({uint16_t(UFieldData::GetInteger(fields, kFieldUserID)), text, isBroadcast});
        CMyApplication::DoShowMessage(fields, isBroadcast);
    }
};

inline std::unique_ptr<CMyApplication> MakeRecordingApp()
{
    return std::make_unique<CRecordingApp>();
}

// Event sounds as PlayEvent starts them, while an instance lives.
class CSoundLog
{
public:
    CSoundLog()
    {
        Heard().clear();
        USound::SetEventHook([](int16_t id) { Heard().push_back(id); });
    }
    ~CSoundLog() { USound::SetEventHook(nullptr); }
    size_t Count(int16_t id) const
    {
        size_t n = 0;
        for (int16_t s : Heard())
            n += s == id;
        return n;
    }
    static std::vector<int16_t>& Heard()
    {
        static std::vector<int16_t> heard;
        return heard;
    }
};

inline std::string UserNotice(uint16_t id, int16_t icon, uint16_t flags, const std::string& name)
{
    return CFields().AddInteger(103, id).AddInteger(104, icon).AddInteger(112, flags).Add(102, name).Bytes();
}

inline std::string LeaveNotice(uint16_t id)
{
    return CFields().AddInteger(103, id).Bytes();
}

inline std::string Access(std::initializer_list<uint8_t> bytes)
{
    std::string field(bytes.begin(), bytes.end());
    return CFields().Add(110, field).Bytes();
}
} // namespace userstest
