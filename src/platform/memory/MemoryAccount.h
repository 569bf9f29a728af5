#pragma once
// The accounts as a test sets them: by default an elevated process of the signed-in user.
#include "platform/Account.h"

namespace keltora {

class MemoryAccount : public Account {
public:
    bool elevated() override { return isElevated; }
    std::optional<AccountId> processUser() override { return process; }
    std::optional<AccountId> sessionUser() override { return session; }
    std::optional<std::u16string> profileFolder() override { return profile; }

    bool isElevated = true;
    std::optional<AccountId> process = AccountId{"S-1-5-21-1-1001", "PC\\pat"};
    std::optional<AccountId> session = AccountId{"S-1-5-21-1-1001", "PC\\pat"};
    std::optional<std::u16string> profile = u"C:\\Users\\pat";
};

}  // namespace keltora
