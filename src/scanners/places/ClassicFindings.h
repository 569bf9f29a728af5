#pragma once
// The files a classic category lists, for a place that leaves them to it: a file the temporary
// files or the Internet cache store already list is not listed a second time.
#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/Platform.h"
#include "scan/FileListing.h"

namespace keltora {

class ClassicFindings {
public:
    // The files the classic category of this code lists now; none for an empty code.
    ClassicFindings(Platform& platform, std::string_view code);
    bool contains(const FoundPath& file) const;

private:
    std::unordered_set<std::u16string> paths_;  // full paths, ASCII letters in capitals
};

}  // namespace keltora
