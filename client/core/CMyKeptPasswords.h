// Where the passwords of bookmarks, trackers and recent servers are kept (a recent server's under its
// bookmark's kind: the same server and login is the same password): in the desktop's keyring when
// there is one, so that the files hold an empty password field, and in the files as before when there
// is none. A password leaves a file only once the keyring has said it holds that very password: until
// then the file keeps it, so that no answer lost on the way (a keyring that fails, a window the user
// closes, a client that quits first) can cost a password.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

class CMyKeptPasswords
{
public:
    enum class EKind
    {
        kBookmark,
        kTracker,
    };

    CMyKeptPasswords();
    ~CMyKeptPasswords();
    CMyKeptPasswords(const CMyKeptPasswords&) = delete;
    CMyKeptPasswords& operator=(const CMyKeptPasswords&) = delete;

    // Asks whether there is a keyring, so that the answer is there by the time the options show.
    void Probe();
    // A keyring answered (false also while nobody knows yet).
    bool KeyringThere() const;

    // What a file writes in the password field of an entry (length-prefixed texts; outField holds 256
    // bytes): empty once the keyring holds this password for the entry; else the password itself, and
    // the keyring is asked to keep it. `kept` runs once it has, so that the file can be written again
    // without it; it never runs when the keyring refuses or is not there.
    void FieldForFile(EKind kind, const uint8_t* server, const uint8_t* login, const uint8_t* password,
                      uint8_t* outField, std::function<void()> kept);
    // For an empty password field: the keyring's password of the entry, always later, empty when it
    // holds none (or there is no keyring). A password found counts as kept.
    void LookUp(EKind kind, const uint8_t* server, const uint8_t* login,
                std::function<void(const uint8_t* password)> found);
    // The keyring forgets the entry's password, later (nothing without a keyring): its bookmark or tracker
    // went, or names another server or login now. Until the keyring has answered, a file saved for the
    // same entry keeps its password, so that a forgetting that lands late cannot take a password just
    // kept again.
    void Forget(EKind kind, const uint8_t* server, const uint8_t* login);
    // Keyring requests on their way.
    uint32_t Pending() const;

private:
    static std::string Key(EKind kind, const uint8_t* server, const uint8_t* login);

    // Per entry, the password the keyring said it holds.
    std::map<std::string, std::string> mKept;
    // Entries and passwords on their way to the keyring, asked for once.
    std::set<std::string> mStoring;
    // Entries the keyring is asked to forget, once for each time.
    std::multiset<std::string> mForgetting;
    // Answers that come after the owner went do nothing.
    std::shared_ptr<CMyKeptPasswords*> mSelf;
};
