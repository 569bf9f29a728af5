#pragma once
// The one place where the file a finding names is deleted or moved aside, for every file
// category, Recent documents and the Startup folder. It acts only on that very file: its folder
// must be a resolved folder, its name is taken exactly (in UTF-16 where the ANSI texts are not
// exact, through a path Windows does not normalise), and the platform makes sure the object it
// opened, without following a final link, is that file before it acts through the same handle.
// What cannot be made sure of is left as it is, stays listed, and is said once per command.
#include <functional>
#include <string>

#include "scan/ScanContext.h"

namespace keltora {

class FileRemoval {
public:
    explicit FileRemoval(ScanContext& context) : context_(context) {}

    // Deletes the file of a finding: its folder column (with or without a trailing '\') and its
    // caption, or their exact forms.
    RemovalOutcome remove(const Finding& finding, const std::string& folderColumn);
    // Moves it into targetFolder (a folder the folder rule allows) under its own name, never over
    // a file that is there. beforeMove, when given, is told the move (its two full paths) once
    // every check has passed and right before it is made; false stops it (the finding stays).
    using BeforeMove = std::function<bool(const std::string& from, const std::string& to)>;
    RemovalOutcome moveInto(const Finding& finding, const std::string& folderColumn, const std::string& targetFolder,
                            const BeforeMove& beforeMove = {});
    // Tells the user of the files left untouched because they could not be made sure of.
    void report();

private:
    RemovalOutcome act(const Finding& finding, const std::string& folderColumn, const std::u16string* targetFolder,
                       const BeforeMove& beforeMove);
    FileActResult actOn(const FileAct& act, const BeforeMove& beforeMove);

    ScanContext& context_;
    int unsure_ = 0;
    std::string firstUnsure_;
};

}  // namespace keltora
