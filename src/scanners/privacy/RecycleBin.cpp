#include "scanners/privacy/RecycleBin.h"

#include "platform/Helpers.h"

namespace keltora {

namespace {

std::vector<Column> binColumns() { return {{"Error Description", 150}, {"Repair Report", 120}, {"Total Size", 100}}; }

// The bin as the shell reports it; nothing when the shell is too old or cannot tell.
RecycleBinInfo queryBin(Shell& shell) {
    const auto version = shell.shell32Version();
    if (!version || *version < kRecycleBinShellVersion) return {};
    return shell.queryRecycleBin().value_or(RecycleBinInfo{});
}

}  // namespace

void RecycleBin::scan() {
    RecycleBinInfo bin;
    {
        ScanRun run(context_, list(), binColumns());
        bin = queryBin(context_.platform.shell);
        if (bin.items > 0)
            run.add(std::to_string(bin.items) + " files in Recycle Bin", {"Remove", SizeText(bin.size)}, false);
        context_.ramp(0, 100);
    }
    items_ = bin.items > 0 ? bin.items : 0;
    context_.lastCount = static_cast<int>(items_);
}

void RecycleBin::remove() {
    context_.lastRemoval = {};
    // The bin is emptied only for its checked finding: unchecked, it is kept as it is.
    if (list().empty() || !list().at(0).checked) {
        context_.lastCount = static_cast<int>(items_);
        return;
    }
    Shell& shell = context_.platform.shell;
    if (!shell.shell32Version()) {
        context_.host.showMessage("Gagal melakukan loading Shell32.dll.");
    } else if (context_.dryRun) {
        // What an emptying would leave: an empty list and no items, the finding removed (the
        // finding left listed and checked would count as one that could not be removed).
        {
            ScanRun run(context_, list(), binColumns());
            context_.ramp(0, 100);
        }
        items_ = 0;
        context_.lastRemoval.add(RemovalOutcome::Removed);
        return;
    } else {
        shell.emptyRecycleBin(kEmptyRecycleBinFlags);
    }
    // What the bin holds now, not what the emptying claimed: items another program kept in it,
    // or that a drive refused to let go of, stay listed and counted.
    scan();
    context_.lastRemoval.add(items_ == 0 ? RemovalOutcome::Removed : RemovalOutcome::Left);
}

}  // namespace keltora
