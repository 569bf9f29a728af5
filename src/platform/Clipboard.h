#pragma once
// The clipboard formats the program reports and empties.
#include <optional>
#include <string>
#include <vector>

namespace keltora {

struct ClipboardContents {
    bool hasText = false;
    std::string text;  // CF_TEXT up to its terminating NUL, when hasText
    bool hasBitmap = false;  // CF_BITMAP, CF_METAFILEPICT or CF_ENHMETAFILE
    std::vector<std::string> files;  // CF_HDROP
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // nullopt when the clipboard cannot be opened (another program holds it).
    virtual std::optional<ClipboardContents> read() = 0;
    // false when it cannot be opened.
    virtual bool empty() = 0;
};

}  // namespace keltora
