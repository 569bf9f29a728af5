#include "scanners/places/ClassicFindings.h"

#include "platform/AsciiNoCase.h"
#include "scanners/privacy/TempFiles.h"

namespace keltora {

ClassicFindings::ClassicFindings(ScanContext& context, std::string_view code) {
    std::vector<FoundPath> listed;
    if (code == "temp") listed = TempFilesListing(context);
    else if (code == "tempie") listed = CacheStoreListing(context);
    for (const auto& file : listed) files_[UpperAsciiText(file.folder().path)].insert(UpperAsciiText(file.name()));
}

bool ClassicFindings::contains(const FoundPath& file) const {
    if (files_.empty()) return false;
    if (&file.folder() != lastFolder_) {
        lastFolder_ = &file.folder();
        const auto found = files_.find(UpperAsciiText(file.folder().path));
        lastNames_ = found == files_.end() ? nullptr : &found->second;
    }
    return lastNames_ != nullptr && lastNames_->contains(UpperAsciiText(file.name()));
}

}  // namespace keltora
