#include "scan/FileRemoval.h"

#include <utility>
#include <vector>

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

// ERROR_SHARING_VIOLATION and ERROR_LOCK_VIOLATION: another program holds the file open without
// letting others delete it.
bool heldByAnother(const FileActOutcome& outcome) {
    return outcome.fault == FileActFault::System && (outcome.error == 32 || outcome.error == 33);
}

// "A checked file ...: X." or "N checked files ... The first: X.", for one kind of file left.
std::string leftText(int count, const std::string& one, const std::string& many, const std::string& first) {
    if (count == 1) return "A checked file " + one + first;
    return std::to_string(count) + " checked files " + many + first;
}

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
    lastInUse_ = false;
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
    lastInUse_ = heldByAnother(outcome);
    Left& left = lastInUse_ ? inUse_ : outcome.result == FileActResult::Unsafe ? unsure_ : failed_;
    if (left.count++ > 0) return;
    left.first = folderColumn;
    if (!left.first.empty() && !left.first.ends_with('\\')) left.first += '\\';
    left.first += finding.caption;
    // A file in use is said as in use; the system's text would only repeat it.
    if (!lastInUse_) left.first += ": " + WhyLeft(context_.platform, outcome);
}

// A dry run's preview gives each file's reason on its own line; a notice that files "could not
// be removed" would tell of a removal that was never tried.
void FileRemoval::report(std::string_view inUseHint) {
    const Left unsure = std::exchange(unsure_, {});
    const Left inUse = std::exchange(inUse_, {});
    const Left failed = std::exchange(failed_, {});
    if (context_.dryRun) return;
    std::vector<std::string> texts;
    if (unsure.count > 0)
        texts.push_back(leftText(unsure.count, "was left as it is: it could not be made sure that it is the file listed. ",
                                 "were left as they are: it could not be made sure that they are the files listed. "
                                 "The first: ",
                                 unsure.first));
    if (inUse.count > 0)
        texts.push_back(leftText(inUse.count, "is in use by another program and stays listed: ",
                                 "are in use by other programs and stay listed. The first: ", inUse.first) +
                        "." + (inUseHint.empty() ? "" : " " + std::string(inUseHint)));
    if (failed.count > 0)
        texts.push_back(leftText(failed.count, "could not be removed: ", "could not be removed. The first: ", failed.first));
    std::string text;
    for (const auto& part : texts) text += (text.empty() ? "" : "\n") + part;
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
