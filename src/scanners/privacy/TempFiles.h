#pragma once
// Leftover temporary files: the ".tmp" files directly in the Windows folder's and the user's Temp
// folders, and the files of the browser's cache store. Removal deletes the checked files.
#include "scan/Category.h"
#include "scan/FileListing.h"

namespace keltora {

// The files the temp and the tempie scans list, in their order: for the categories of other
// places, which leave these to them.
std::vector<FoundPath> TempFilesListing(ScanContext& context);
std::vector<FoundPath> CacheStoreListing(ScanContext& context);

class TempFiles : public Category {
public:
    using Category::Category;
    void scan() override;  // temp_filesExecute
    void remove() override;  // removetempExecute
};

class TemporaryIE : public Category {
public:
    using Category::Category;
    void scan() override;  // tempieExecute
    void remove() override;  // removetempieExecute
};

}  // namespace keltora
