#pragma once
// Who the process runs as: whether it holds an administrator's token, and whether its user is
// the one signed in to the session. A standard user who starts a program with an
// administrator's password gets a process of the administrator: its HKEY_CURRENT_USER, shell
// folders, Recycle Bin and Run entry are then not the signed-in user's.
#include <optional>
#include <string>

namespace keltora {

struct AccountId {
    std::string sid;      // "S-1-5-21-...", what tells two accounts apart
    std::string display;  // "DOMAIN\name", for messages
    bool operator==(const AccountId& other) const { return sid == other.sid; }
};

class Account {
public:
    virtual ~Account() = default;
    // Whether the process holds an administrator's (elevated) token.
    virtual bool elevated() = 0;
    // The account the process runs as; nullopt when the system does not tell.
    virtual std::optional<AccountId> processUser() = 0;
    // The account signed in to the session (the owner of the shell); nullopt when there is no
    // shell or the system does not tell.
    virtual std::optional<AccountId> sessionUser() = 0;
    // The profile folder of the account the process runs as, as Windows records it for the
    // account (GetUserProfileDirectoryW on the process token): the machine's record, which no
    // per-user setting redirects. nullopt when the system does not tell.
    virtual std::optional<std::u16string> profileFolder() = 0;
};

}  // namespace keltora
