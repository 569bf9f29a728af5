#include "scanners/places/ClassicFindings.h"

#include "scanners/privacy/TempFiles.h"

namespace keltora {

namespace {

// Both listings name a file by the folder it was found in and its exact name; Windows compares
// names without case.
std::u16string key(const FoundPath& file) {
    std::u16string path = file.folder.below(file.name);
    for (auto& c : path)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return path;
}

}  // namespace

ClassicFindings::ClassicFindings(Platform& platform, std::string_view code) {
    std::vector<FoundPath> listed;
    if (code == "temp") listed = TempFilesListing(platform);
    else if (code == "tempie") listed = CacheStoreListing(platform);
    for (const auto& file : listed) paths_.insert(key(file));
}

bool ClassicFindings::contains(const FoundPath& file) const { return !paths_.empty() && paths_.contains(key(file)); }

}  // namespace keltora
