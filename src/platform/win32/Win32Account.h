#pragma once
// The process token and the shell's token.
#include "platform/Account.h"

namespace keltora {

class Win32Account : public Account {
public:
    bool elevated() override;
    std::optional<AccountId> processUser() override;
    std::optional<AccountId> sessionUser() override;
    std::optional<std::u16string> profileFolder() override;
};

}  // namespace keltora
