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

private:
    // The profile folder of the process's token: asked of the system once, as it cannot change
    // while the process lives (a removal of many files would otherwise ask for every file).
    std::optional<std::optional<std::u16string>> profile_;
};

}  // namespace keltora
