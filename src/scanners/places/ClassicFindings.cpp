#include "scanners/places/ClassicFindings.h"

#include "scanners/privacy/TempFiles.h"

namespace keltora {

namespace {

std::u16string upper(std::u16string_view text) {
    std::u16string key(text);
    for (auto& c : key)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return key;
}

}  // namespace

ClassicFindings::ClassicFindings(Platform& platform, std::string_view code) {
    std::vector<FoundPath> listed;
    if (code == "temp") listed = TempFilesListing(platform);
    else if (code == "tempie") listed = CacheStoreListing(platform);
    for (const auto& file : listed) files_[upper(file.folder().path)].insert(upper(file.name()));
}

bool ClassicFindings::contains(const FoundPath& file) const {
    if (files_.empty()) return false;
    if (&file.folder() != lastFolder_) {
        lastFolder_ = &file.folder();
        const auto found = files_.find(upper(file.folder().path));
        lastNames_ = found == files_.end() ? nullptr : &found->second;
    }
    return lastNames_ != nullptr && lastNames_->contains(upper(file.name()));
}

}  // namespace keltora
