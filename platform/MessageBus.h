// The message bus a part of the client talks on: the user's session bus or the machine's system bus by
// default, or, in tests, a bus of their own at a given address (an empty address means no bus at all).
// Only a bus that is there is used: asking for a session bus the environment does not name would start a
// bus daemon of its own on some systems, and asking for a missing system bus logs a warning.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcessEnvironment>
#include <QString>
#include <cstdint>
#include <functional>

class QObject;

namespace platform
{
// Before the application object: where the environment names no session bus, Qt's own parts (the
// accessibility bridge among them) would start a helper to find or make one, and wait for it on the
// one thread. The client uses no bus there, and now neither does Qt.
void NeverStartASessionBus();
// The environment for a program the client starts: without the no-bus address, so that the program
// finds a bus as it would have had it been started from the desktop.
QProcessEnvironment EnvironmentForChildren();

class CMessageBus
{
public:
    enum class EKind
    {
        Session,
        System,
    };
    // `purpose` names the private connection made for a given address ("notices", "keyring", ...).
    CMessageBus(EKind kind, const char* purpose) : mKind(kind), mPurpose(purpose) {}

    // A connection that is not connected when there is no bus.
    QDBusConnection Bus();
    // The connection's name while a given address is used, else empty.
    QString ConnectionName() const { return mConnectionName; }
    bool UsesDefault() const { return mChoice == EChoice::Default; }

    // Each drops the connection in use; answers to what was asked on it carry an old Generation().
    void UseAddress(const QString& address);
    void UseDefault();
    uint32_t Generation() const { return mGeneration; }

    // Sends `call` on the bus in use, which the caller has found connected, and hands the answer (an
    // error answer too) to `then` on the event loop. `current` is false when the bus was given up
    // between the call and its answer: the answer belongs to a connection nobody uses any more. The
    // call's watcher is a child of `owner` (none when null), and goes once the answer is handed on.
    using ReplyProc = std::function<void(const QDBusMessage& reply, bool current)>;
    void CallWithReply(const QDBusMessage& call, QObject* owner, ReplyProc then);

private:
    enum class EChoice
    {
        Default,
        Address,
        None,
    };
    void Drop();

    EKind mKind;
    const char* mPurpose;
    EChoice mChoice = EChoice::Default;
    QString mAddress;
    QString mConnectionName;
    uint32_t mGeneration = 0;
};
} // namespace platform
