#pragma once
// The files a classic category lists, for a place that leaves them to it: a file the temporary
// files or the Internet cache store already list is not listed a second time.
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "scan/FileListing.h"
#include "scan/ScanContext.h"

namespace keltora {

class ClassicFindings {
public:
    // The files the classic category of this code lists now; none for an empty code.
    ClassicFindings(ScanContext& context, std::string_view code);
    bool contains(const FoundPath& file) const;

private:
    // By folder, then by name; both with ASCII letters in capitals, as Windows compares names
    // without case.
    std::unordered_map<std::u16string, std::unordered_set<std::u16string>> files_;
    // The names listed in the folder asked about last: a walk asks folder by folder.
    mutable const ListedFolder* lastFolder_ = nullptr;
    mutable const std::unordered_set<std::u16string>* lastNames_ = nullptr;
};

}  // namespace keltora
