#pragma once
// The one place where the file a finding names is deleted or moved aside, for every file
// category, Recent documents and the Startup folder. It acts only on that very file: its folder
// must be a resolved folder, its name is taken exactly (in UTF-16 where the ANSI texts are not
// exact, through a path Windows does not normalise), and the platform opens the folder and the
// entry without following a link and makes sure they are what the scan listed (their identities)
// before it acts through the same handle. What cannot be removed stays listed, and why is said
// once per command.
#include <functional>
#include <string>
#include <string_view>

#include "scan/ScanContext.h"

namespace keltora {

class FileRemoval {
public:
    explicit FileRemoval(ScanContext& context) : context_(context) {}

    // Deletes the file of a finding: its folder column (with or without a trailing '\') and its
    // caption, or their exact forms.
    RemovalOutcome remove(const Finding& finding, const std::string& folderColumn);
    // Moves it into targetFolder (a folder the folder rule allows) under its own name, never over
    // a file that is there. beforeMove, when given, is told the move (its two full paths, and
    // what the file will be in its new place) once every check has passed and right before the
    // move is made; false stops it (the finding stays). afterMove, when given, is then told whether
    // the file arrived: moved, or copied to another volume while another program holds the
    // original open (which Windows deletes when that program closes it); the finding stays in
    // that case, but the copy stands where the move put it.
    using BeforeMove = std::function<bool(const std::string& from, const std::string& to, const FileIdentity& moved)>;
    using AfterMove = std::function<void(bool arrived)>;
    RemovalOutcome moveInto(const Finding& finding, const std::string& folderColumn, const std::string& targetFolder,
                            const BeforeMove& beforeMove = {}, const AfterMove& afterMove = {});
    // Whether the file of the finding acted on last stayed because another program holds it open
    // (a sharing violation): it is then left as it is, and never freed by ending that program.
    bool lastInUse() const { return lastInUse_; }
    // Tells the user of the files left as they are: those that could not be made sure of, those
    // in use by other programs (inUseHint: what the user can do about it, when the caller knows),
    // and those the system would not remove otherwise, each kind with the first (and its reason).
    void report(std::string_view inUseHint = {});

private:
    RemovalOutcome act(const Finding& finding, const std::string& folderColumn, const std::u16string* targetFolder,
                       const BeforeMove& beforeMove, const AfterMove& afterMove);
    void note(const FileActOutcome& outcome, const Finding& finding, const std::string& folderColumn);

    // The files of one kind left as they are: how many, and the first with its reason.
    struct Left {
        int count = 0;
        std::string first;
    };

    ScanContext& context_;
    Left unsure_;
    Left inUse_;
    Left failed_;
    bool lastInUse_ = false;
};

// One of the program's own files (a backup, an undo journal) deleted as the file of a finding
// is: its folder listed, the entry of that exact name taken as listed (never a link), and the
// same act on it.
FileActOutcome RemoveStoredFile(Platform& platform, const std::string& folder, const std::string& name);
// Why a file stays, as the user is told.
std::string WhyLeft(Platform& platform, const FileActOutcome& outcome);

}  // namespace keltora
