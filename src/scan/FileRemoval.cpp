#include "scan/FileRemoval.h"

#include "platform/FileMask.h"
#include "platform/FolderRule.h"
#include "platform/Helpers.h"

namespace keltora {

namespace {

// Why a file stayed, by what the platform found.
struct FaultText {
    FileActFault fault;
    const char* text;
};
constexpr FaultText kFaultTexts[] = {
    {FileActFault::Link, "it is a link or another reparse point"},
    {FileActFault::NotListed, "it is not the file that was listed (another file now, or one a link leads to)"},
    {FileActFault::Unlisted, "its folder cannot be listed (a link, or no access)"},
    {FileActFault::Folder, "it is a folder, which is never deleted as a file nor moved to another volume"},
    {FileActFault::NameTaken, "the folder it was to be moved into already holds a file of that name"},
    {FileActFault::HeldOpen, "another program holds it open; Windows deletes it when that program closes it"},
    {FileActFault::CopyDiffers, "its copy on the other volume did not read back as the file, and was removed again"},
};
constexpr const char* kInexactName = "its name is one Windows reads as another file's";

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
    return act(finding, folderColumn, nullptr, {}, {});
}

RemovalOutcome FileRemoval::moveInto(const Finding& finding, const std::string& folderColumn,
                                     const std::string& targetFolder, const BeforeMove& beforeMove,
                                     const AfterMove& afterMove) {
    const auto target = UsableFolder(context_.platform.codePage.toWide(targetFolder));
    if (!target) {
        context_.leftBecause = "the folder it would be moved to is not usable: " + targetFolder;
        return RemovalOutcome::Left;
    }
    return act(finding, folderColumn, &*target, beforeMove, afterMove);
}

RemovalOutcome FileRemoval::act(const Finding& finding, const std::string& folderColumn,
                                const std::u16string* targetFolder, const BeforeMove& beforeMove,
                                const AfterMove& afterMove) {
    CodePage& codePage = context_.platform.codePage;
    const std::u16string folder =
        folderOf(finding.exactLocation.empty() ? codePage.toWide(folderColumn) : finding.exactLocation);
    const std::u16string name = finding.exactName.empty() ? codePage.toWide(finding.caption) : finding.exactName;
    FileActOutcome outcome{FileActResult::Unsafe};
    if (IsResolvedFolder(folder) && IsExactEntryName(name)) {
        FileAct act{joined(folder, name), targetFolder ? joined(*targetFolder, name) : std::u16string(),
                    context_.dryRun, finding.listedFile, finding.listedFolder};
        // The move is told before it is made; a path the ANSI calls cannot carry exactly cannot
        // be told, and stays. A move that was told is told what became of it.
        bool told = false;
        if (beforeMove && !act.moveTo.empty()) {
            act.beforeMove = [&](const FileIdentity& moved) {
                bool exactFrom = false, exactTo = false;
                const std::string from = codePage.toAnsi(act.path, &exactFrom);
                const std::string to = codePage.toAnsi(act.moveTo, &exactTo);
                told = exactFrom && exactTo && beforeMove(from, to, moved);
                return told;
            };
        }
        outcome = context_.platform.files.act(act);
        if (told && afterMove)
            afterMove(outcome.result == FileActResult::Done || outcome.fault == FileActFault::HeldOpen);
    }
    switch (outcome.result) {
        case FileActResult::Done: return RemovalOutcome::Removed;
        case FileActResult::Absent: return RemovalOutcome::Gone;
        case FileActResult::Unsafe:
        case FileActResult::Failed: break;
    }
    // Why this finding stays, for the removal's report of each finding (the dry run's preview).
    context_.leftBecause = outcome.fault == FileActFault::Refused ? "the undo journal refused the move"
                                                                  : WhyLeft(context_.platform, outcome);
    note(outcome, finding, folderColumn);
    return RemovalOutcome::Left;
}

// A move the journal refused is said by the journal's own reason.
void FileRemoval::note(const FileActOutcome& outcome, const Finding& finding, const std::string& folderColumn) {
    if (outcome.fault == FileActFault::Refused) return;
    Left& left = outcome.result == FileActResult::Unsafe ? unsure_ : failed_;
    if (left.count++ > 0) return;
    left.first = folderColumn;
    if (!left.first.empty() && !left.first.ends_with('\\')) left.first += '\\';
    left.first += finding.caption + ": " + WhyLeft(context_.platform, outcome);
}

// A dry run's preview gives each file's reason on its own line; a notice that files "could not
// be removed" would tell of a removal that was never tried.
void FileRemoval::report() {
    if (context_.dryRun) {
        unsure_ = {};
        failed_ = {};
        return;
    }
    std::string text;
    if (unsure_.count == 1)
        text = "A checked file was left as it is: it could not be made sure that it is the file listed. " + unsure_.first;
    else if (unsure_.count > 1)
        text = std::to_string(unsure_.count) + " checked files were left as they are: it could not be made sure "
               "that they are the files listed. The first: " + unsure_.first;
    if (failed_.count > 0 && !text.empty()) text += "\n";
    if (failed_.count == 1) text += "A checked file could not be removed: " + failed_.first;
    else if (failed_.count > 1)
        text += std::to_string(failed_.count) + " checked files could not be removed. The first: " + failed_.first;
    unsure_ = {};
    failed_ = {};
    if (!text.empty()) context_.host.showNotice(text);
}

std::string WhyLeft(Platform& platform, const FileActOutcome& outcome) {
    if (outcome.fault == FileActFault::None) return kInexactName;
    for (const auto& [fault, text] : kFaultTexts)
        if (fault == outcome.fault) return text;
    std::string text = platform.registry.systemMessage(outcome.error);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "the system refused (error " + std::to_string(outcome.error) + ")" : text;
}

FileActOutcome RemoveStoredFile(Platform& platform, const std::string& folder, const std::string& name) {
    const auto listed = UsableFolder(platform.codePage.toWide(folder));
    const std::u16string wanted = platform.codePage.toWide(name);
    if (!listed || !IsExactEntryName(wanted) || HasWildcards(wanted)) return {FileActResult::Unsafe};
    const FileActOutcome outcome = DeleteListedEntry(platform.files, &platform.codePage, *listed, wanted);
    if (outcome.fault == FileActFault::Unlisted && platform.files.probe(folder) == PathPresence::Missing)
        return {FileActResult::Absent};
    return outcome;
}

}  // namespace keltora
