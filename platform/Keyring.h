// Passwords kept in the desktop's keyring (the Secret Service, org.freedesktop.secrets on the user's
// session bus). Every request is asynchronous: its answer comes back through the event loop, always
// later than the call, even when there is no bus at all. A keyring that is locked may ask the user to
// unlock it in a window of its own; the answer then waits for the user.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace platform
{
enum class EKeyring
{
    Done,
    // Looked up, and no password kept for that entry.
    Missing,
    // No keyring on the bus (or no bus): the caller keeps the password itself.
    NoService,
    // The user closed the keyring's unlock window.
    Refused,
    Failed,
};

// What a password is for; each part becomes one of the item's attributes, which is how it is found again.
struct SKeyringEntry
{
    // "bookmark", "tracker", "recent".
    QString kind;
    QString server;
    QString login;
};

using KeyringDoneProc = std::function<void(EKeyring result)>;
using KeyringFoundProc = std::function<void(EKeyring result, const QByteArray& password)>;

// Replaces any password kept for the same entry.
void StoreKeyringPassword(const SKeyringEntry& entry, const QByteArray& password, KeyringDoneProc done);
void LookUpKeyringPassword(const SKeyringEntry& entry, KeyringFoundProc found);
// Done also when nothing was kept.
void DeleteKeyringPassword(const SKeyringEntry& entry, KeyringDoneProc done);

// What the last answer said about the keyring: Unknown before any, then whether one answered. Asks the
// bus when it is Unknown, so that the answer is known by the time a file is saved.
enum class EKeyringState
{
    Unknown,
    There,
    Absent,
};
EKeyringState KeyringState();
void ProbeKeyring();
// Requests whose answer has not come back yet.
uint32_t PendingKeyringRequests();

// Which bus carries the keyring: the session bus by default; tests give the address of a bus of their own
// (an empty address: no bus).
void SetKeyringBusAddress(const QString& address);
void UseSessionBusForKeyring();
} // namespace platform
