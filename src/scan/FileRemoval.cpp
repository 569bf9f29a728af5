#include "scan/FileRemoval.h"

#include "platform/FolderRule.h"

namespace keltora {

namespace {

// A folder column without its trailing '\', a drive root keeping it.
std::u16string folderOf(std::u16string text) {
    if (text.ends_with(u'\\') && !(text.size() == 3 && text[1] == u':')) text.pop_back();
    return text;
}

std::u16string joined(const std::u16string& folder, const std::u16string& name) {
    return folder.ends_with(u'\\') ? folder + name : folder + u"\\" + name;
}

}  // namespace

RemovalOutcome FileRemoval::remove(const Finding& finding, const std::string& folderColumn) {
    return act(finding, folderColumn, nullptr, {});
}

RemovalOutcome FileRemoval::moveInto(const Finding& finding, const std::string& folderColumn,
                                     const std::string& targetFolder, const BeforeMove& beforeMove) {
    const auto target = UsableFolder(context_.platform.codePage.toWide(targetFolder));
    if (!target) {
        context_.leftBecause = "the folder it would be moved to is not usable: " + targetFolder;
        return RemovalOutcome::Left;
    }
    return act(finding, folderColumn, &*target, beforeMove);
}

// With beforeMove, the move is first checked as a dry run, so that only a move that will be made
// is told; a path the ANSI calls cannot carry exactly cannot be told, and stays.
FileActResult FileRemoval::actOn(const FileAct& act, const BeforeMove& beforeMove) {
    FileSystem& files = context_.platform.files;
    if (!beforeMove || act.dryRun || act.moveTo.empty()) return files.act(act);
    FileAct check = act;
    check.dryRun = true;
    if (const FileActResult checked = files.act(check); checked != FileActResult::Done) return checked;
    bool exactFrom = false, exactTo = false;
    const std::string from = context_.platform.codePage.toAnsi(act.path, &exactFrom);
    const std::string to = context_.platform.codePage.toAnsi(act.moveTo, &exactTo);
    if (!exactFrom || !exactTo || !beforeMove(from, to)) return FileActResult::Failed;
    return files.act(act);
}

RemovalOutcome FileRemoval::act(const Finding& finding, const std::string& folderColumn,
                                const std::u16string* targetFolder, const BeforeMove& beforeMove) {
    CodePage& codePage = context_.platform.codePage;
    const std::u16string folder =
        folderOf(finding.exactLocation.empty() ? codePage.toWide(folderColumn) : finding.exactLocation);
    const std::u16string name = finding.exactName.empty() ? codePage.toWide(finding.caption) : finding.exactName;
    FileActResult result = FileActResult::Unsafe;
    if (IsResolvedFolder(folder) && IsExactEntryName(name)) {
        const FileAct act{joined(folder, name), targetFolder ? joined(*targetFolder, name) : std::u16string(),
                          context_.dryRun};
        result = actOn(act, beforeMove);
    }
    switch (result) {
        case FileActResult::Done: return RemovalOutcome::Removed;
        case FileActResult::Absent: return RemovalOutcome::Gone;
        case FileActResult::Failed:
            context_.leftBecause = targetFolder ? "it could not be moved aside (in use, refused, or a file of that name "
                                                  "is there already)"
                                                : "it could not be deleted (in use, or refused)";
            return RemovalOutcome::Left;
        case FileActResult::Unsafe: break;
    }
    context_.leftBecause = "it could not be made sure that it is the file listed (a link, or a name Windows reads "
                           "as another file)";
    if (unsure_++ == 0) {
        firstUnsure_ = folderColumn;
        if (!firstUnsure_.empty() && !firstUnsure_.ends_with('\\')) firstUnsure_ += '\\';
        firstUnsure_ += finding.caption;
    }
    return RemovalOutcome::Left;
}

void FileRemoval::report() {
    if (unsure_ == 0) return;
    const std::string text =
        unsure_ == 1 ? "A checked file was left as it is: it could not be made sure that it is the file listed (a link, "
                       "or a name Windows reads as another file): " + firstUnsure_
                     : std::to_string(unsure_) + " checked files were left as they are: it could not be made sure that "
                       "they are the files listed (links, or names Windows reads as other files). The first: " +
                           firstUnsure_;
    unsure_ = 0;
    context_.host.showNotice(text);
}

}  // namespace keltora
