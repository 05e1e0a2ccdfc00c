#include "client/core/CMyKeptPasswords.h"

#include <cstring>

#include "framework/runtime/MacRoman.h"
#include "platform/Keyring.h"

namespace
{
constexpr uint8_t kMaxPassword = 255;

QString ToQString(const uint8_t* text)
{
    const std::string utf8 = MacRomanToUtf8(text + 1, text[0]);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

const char* KindName(CMyKeptPasswords::EKind kind)
{
    switch (kind)
    {
    case CMyKeptPasswords::EKind::kBookmark:
        return "bookmark";
    case CMyKeptPasswords::EKind::kTracker:
        return "tracker";
    }
    return "";
}

platform::SKeyringEntry Entry(CMyKeptPasswords::EKind kind, const uint8_t* server, const uint8_t* login)
{
    return platform::SKeyringEntry{QString::fromLatin1(KindName(kind)), ToQString(server), ToQString(login)};
}

void CopyField(uint8_t* out, const std::string& bytes)
{
    out[0] = uint8_t(std::min<size_t>(bytes.size(), kMaxPassword));
    std::memcpy(out + 1, bytes.data(), out[0]);
}
} // namespace

CMyKeptPasswords::CMyKeptPasswords() : mSelf(std::make_shared<CMyKeptPasswords*>(this)) {}

CMyKeptPasswords::~CMyKeptPasswords()
{
    *mSelf = nullptr;
}

void CMyKeptPasswords::Probe()
{
    platform::ProbeKeyring();
}

bool CMyKeptPasswords::KeyringThere() const
{
    return platform::KeyringState() == platform::EKeyringState::There;
}

uint32_t CMyKeptPasswords::Pending() const
{
    return platform::PendingKeyringRequests();
}

std::string CMyKeptPasswords::Key(EKind kind, const uint8_t* server, const uint8_t* login)
{
    std::string key = KindName(kind);
    key += '\0';
    key.append(reinterpret_cast<const char*>(server + 1), server[0]);
    key += '\0';
    key.append(reinterpret_cast<const char*>(login + 1), login[0]);
    return key;
}

void CMyKeptPasswords::FieldForFile(EKind kind, const uint8_t* server, const uint8_t* login,
                                    const uint8_t* password, uint8_t* outField, std::function<void()> kept)
{
    const std::string bytes(reinterpret_cast<const char*>(password + 1), std::min(password[0], kMaxPassword));
    const std::string key = Key(kind, server, login);
    auto known = mKept.find(key);
    if (!bytes.empty() && known != mKept.end() && known->second == bytes)
    {
        outField[0] = 0;
        return;
    }
    CopyField(outField, bytes);
    // No password is nothing to keep; a keyring known to be missing is not asked again and again; an
    // entry being forgotten is kept in the file this time.
    if (bytes.empty() || platform::KeyringState() == platform::EKeyringState::Absent ||
        mForgetting.count(key))
        return;
    // The keyring holds text: a password that would not come back byte for byte stays in the file.
    const std::string utf8 = MacRomanToUtf8(bytes.data(), uint32_t(bytes.size()));
    if (Utf8ToMacRoman(utf8) != bytes) return;
    const std::string storing = key + '\0' + bytes;
    if (!mStoring.insert(storing).second) return;
    platform::StoreKeyringPassword(Entry(kind, server, login), QByteArray::fromStdString(utf8),
                                   [self = mSelf, key, bytes, storing, kept](platform::EKeyring result)
                                   {
                                       CMyKeptPasswords* owner = *self;
                                       if (!owner) return;
                                       owner->mStoring.erase(storing);
                                       if (result != platform::EKeyring::Done) return;
                                       owner->mKept[key] = bytes;
                                       if (kept) kept();
                                   });
}

void CMyKeptPasswords::Forget(EKind kind, const uint8_t* server, const uint8_t* login)
{
    const std::string key = Key(kind, server, login);
    mKept.erase(key);
    if (platform::KeyringState() == platform::EKeyringState::Absent) return;
    mForgetting.insert(key);
    platform::DeleteKeyringPassword(Entry(kind, server, login),
                                    [self = mSelf, key](platform::EKeyring)
                                    {
                                        // A keyring that could not forget keeps an item nobody asks for.
                                        if (CMyKeptPasswords* owner = *self)
                                            owner->mForgetting.erase(owner->mForgetting.find(key));
                                    });
}

void CMyKeptPasswords::LookUp(EKind kind, const uint8_t* server, const uint8_t* login,
                              std::function<void(const uint8_t* password)> found)
{
    const std::string key = Key(kind, server, login);
    platform::LookUpKeyringPassword(
        Entry(kind, server, login),
        [self = mSelf, key, found](platform::EKeyring result, const QByteArray& utf8)
        {
            CMyKeptPasswords* owner = *self;
            if (!owner) return;
            uint8_t field[kMaxPassword + 1] = {};
            if (result == platform::EKeyring::Done)
            {
                const std::string bytes = Utf8ToMacRoman(utf8.constData(), size_t(utf8.size()));
                CopyField(field, bytes);
                if (field[0]) owner->mKept[key] = std::string(reinterpret_cast<char*>(field + 1), field[0]);
            }
            if (found) found(field);
        });
}
