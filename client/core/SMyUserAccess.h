// The user's access bits on a server, 8 bytes in wire order: bit n is mask 0x80 >> (n % 8) of byte n / 8.
#pragma once

#include <cstdint>
#include <cstring>

// The bits by their index, as the user editing window labels them. Indexes without a name have no control
// and are never set by the client.
enum : uint32_t
{
    kAccessCanDeleteFiles = 0,
    kAccessCanUploadFiles = 1,
    kAccessCanDownloadFiles = 2,
    kAccessCanRenameFiles = 3,
    kAccessCanMoveFiles = 4,
    kAccessCanCreateFolders = 5,
    kAccessCanDeleteFolders = 6,
    kAccessCanRenameFolders = 7,
    kAccessCanMoveFolders = 8,
    kAccessCanReadChat = 9,
    kAccessCanSendChat = 10,
    kAccessCanCreateUsers = 14,
    kAccessCanDeleteUsers = 15,
    kAccessCanReadUsers = 16,
    kAccessCanModifyUsers = 17,
    kAccessCanReadNews = 20,
    kAccessCanPostNews = 21,
    kAccessCanDisconnectUsers = 22,
    kAccessCannotBeDisconnected = 23,
    kAccessCanGetUserInfo = 24,
    kAccessCanUploadAnywhere = 25,
    kAccessCanUseAnyName = 26,
    kAccessDontShowAgreement = 27,
    kAccessCanCommentFiles = 28,
    kAccessCanCommentFolders = 29,
    kAccessCanViewDropBoxes = 30,
    kAccessCanMakeAliases = 31,
    kAccessCanBroadcast = 32,
};

// A set of bit indexes, for "any of these": AccessBits(kAccessCanReadChat, kAccessCanSendChat).
template <class... TBits>
constexpr uint64_t AccessBits(TBits... bits)
{
    return ((uint64_t(1) << bits) | ... | uint64_t(0));
}

struct SMyUserAccess
{
    uint8_t bytes[8];

    bool Has(uint32_t bit) const { return bit < 64 && (bytes[bit / 8] & (0x80u >> (bit % 8))) != 0; }
    // True when any bit of the set (AccessBits) is set; an empty set asks for nothing and is always met.
    bool HasAny(uint64_t set) const
    {
        if (set == 0) return true;
        for (uint32_t bit = 0; bit < 64; ++bit)
            if ((set >> bit) & 1u && Has(bit)) return true;
        return false;
    }
    void Set(uint32_t bit, bool on)
    {
        if (bit >= 64) return;
        if (on)
            bytes[bit / 8] |= uint8_t(0x80u >> (bit % 8));
        else
            bytes[bit / 8] &= uint8_t(~(0x80u >> (bit % 8)));
    }
    void SetAll() { std::memset(bytes, 0xFF, sizeof(bytes)); }
};
