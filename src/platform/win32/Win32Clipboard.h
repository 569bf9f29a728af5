#pragma once
// The clipboard through user32, its file lists through shell32, and Windows' clipboard history
// through the Windows Runtime.
#include "platform/Clipboard.h"

namespace keltora {

class Win32Clipboard final : public Clipboard {
public:
    std::optional<ClipboardContents> read() override;
    bool empty() override;
    // Win32ClipboardHistory.cpp
    ClipboardHistory history() override;
    bool clearHistory() override;
};

}  // namespace keltora
