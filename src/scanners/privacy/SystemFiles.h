#pragma once
// Files that crashes, disk checks and logging leave below the Windows folder: memory dumps,
// chkdsk fragments in the drive root and log files, each category from its fixed places.
#include <span>
#include <string>
#include <string_view>

#include "platform/RegistryApi.h"
#include "scan/Category.h"

namespace keltora {

// The Windows folder, read afresh by every scan; empty when it cannot be read.
std::string ReadSystemRoot(RegistryApi& registry);

// A place is a folder (the Windows folder or its drive root, and a path below it) and a pattern;
// the folder itself only, never its sub-folders.
enum class PlaceBase { SystemRoot, SystemDrive };
// Entries a place leaves out: none, one exact path below the Windows folder, or every path that
// does not hold "log" in lower case.
enum class LeftOut { Nothing, ExactPath, WithoutLowerLog };

struct SystemPlace {
    std::string_view code;
    PlaceBase base;
    std::string_view folder;  // appended to the base; ends in '\' or is empty
    std::string_view pattern;
    LeftOut leftOut;
    std::string_view leftOutPath;  // appended to the Windows folder, for LeftOut::ExactPath
};

// Every place of the three categories, in scan order within each.
std::span<const SystemPlace> SystemPlaces();

// dump, chk and log: one scanner, told apart by its category code.
class SystemFiles : public Category {
public:
    using Category::Category;
    void scan() override;  // dumpExecute, chkExecute, logExecute
    void remove() override;  // removedumpExecute, removechkExecute, removelogExecute
};

}  // namespace keltora
