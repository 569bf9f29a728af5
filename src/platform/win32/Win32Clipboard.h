#pragma once
// The clipboard through user32, and its file lists through shell32.
#include "platform/Clipboard.h"

namespace keltora {

class Win32Clipboard final : public Clipboard {
public:
    std::optional<ClipboardContents> read() override;
    bool empty() override;
};

}  // namespace keltora
