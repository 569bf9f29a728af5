#pragma once
// The narrow view of the window a category works through: the platform, the host, the pace,
// the one progress bar, the shared last count and the paths computed at start.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "scan/Controls.h"
#include "scan/Host.h"
#include "scan/Pacer.h"
#include "scan/Paths.h"
#include "scan/RegistryJournal.h"
#include "scan/RemovalOutcome.h"
#include "scan/ResultList.h"

namespace keltora {

class ChangeGroup;

// The outcomes of one removal command, for what the command reports.
struct RemovalTally {
    int removed = 0;
    int gone = 0;
    int noLongerFindings = 0;
    int left = 0;  // checked findings still listed because they could not be removed
    void add(RemovalOutcome outcome);
    RemovalTally& operator+=(const RemovalTally& other);
    bool operator==(const RemovalTally&) const = default;
};

// What became of one checked finding in a removal, in list order: for a report finding by
// finding (the console's dry run). why: the reason a finding that stays stays, when the removal
// knows one.
struct RemovalRecord {
    Finding finding;
    RemovalOutcome outcome;
    bool heldBack = false;  // left in place by ScanContext::holdBack (why, when it gave one)
    std::string why{};
};

struct ScanContext {
    Platform& platform;
    Host& host;
    Pacer& pacer;
    ProgressBar& progress;
    int& lastCount;
    const Paths& paths;
    // The outcomes of the latest removal of any category, as lastCount is its count.
    RemovalTally& lastRemoval;
    // A dry run: every removal decides what it would do (the safety checks made, the reason of
    // each finding tested again) and reports the outcome it would have, but changes nothing:
    // no registry write, no file touched, no bin or clipboard emptied.
    bool dryRun{false};
    // Where a command that changes the registry keeps what it takes away, before each change
    // (see RegistryJournal); none: the changes are made without one.
    RegistryJournal* journal{nullptr};
    // The changes of the running removal that wait for their journal entries (set by RemovalRun
    // while it runs with a journal); none: each change is written and made at once.
    ChangeGroup* changes{nullptr};
    // Checked findings a removal must leave as they are, whatever it could do with them: they
    // stay listed and count as left. Set by whoever starts the removal, for its duration; it may
    // say why in leftBecause.
    std::function<bool(const Finding&)> holdBack{};
    // Where a removal run records each checked finding's outcome, when someone asks for them.
    std::vector<RemovalRecord>* removalLog{nullptr};
    // Why the finding a removal is about to report Left stays, when it can tell (the removal run
    // takes it with the outcome).
    std::string leftBecause{};

    // Moves the bar from one position to another a step at a time, pausing after each step.
    void ramp(int from, int to, std::uint32_t stepMs = kStepPauseMs);
    // Advances the bar by one step while it stands below a limit.
    void stepBelow(int limit);
    // A pause of the scan: whatever waits to be shown is shown first, as the window handles no
    // messages while the scan sleeps.
    void pause(std::uint32_t ms);
};

// The steps every scan shares: hourglass, bar at 0, list cleared with its columns made anew and
// scrolled to the top; at the end the last count, the bar back at 0 and the default cursor.
class ScanRun {
public:
    ScanRun(ScanContext& context, ResultList& list, std::vector<Column> columns);
    ~ScanRun();
    ScanRun(const ScanRun&) = delete;
    ScanRun& operator=(const ScanRun&) = delete;

    // Appends a checked finding; the list is redrawn through its observer, then the scan pauses
    // unless told the category's scan does not pause per finding.
    std::size_t add(std::string caption, std::vector<std::string> subItems, bool pause = true);
    // The same for a finding made by the scan (one that carries its exact identity, say); it is
    // added checked.
    std::size_t add(Finding finding, bool pause = true);
    ResultList& list() { return list_; }

private:
    ScanContext& context_;
    ResultList& list_;
};

// The steps every removal shares: the holding list keeps what is not removed, in order. A
// checked finding leaves the list only when what it names is gone afterwards, so the list and
// the last count never claim a removal that did not happen. With a journal, the registry changes
// wait in a group for their entries to reach the disk (ChangeGroup): a finding's outcome may be
// known only when its group is made.
class RemovalRun {
public:
    RemovalRun(ScanContext& context, ResultList& list);
    ~RemovalRun();
    RemovalRun(const RemovalRun&) = delete;
    RemovalRun& operator=(const RemovalRun&) = delete;

    // removeOne removes what the finding names and tells what became of it (a RemovalOutcome, or
    // a bool: whether it is gone now). Only a finding that is still there afterwards (Left)
    // stays listed. When it raises, the findings not yet handled stay, the list shows what is
    // really left, and the error goes on.
    template <typename RemoveOne>
    void run(RemoveOne&& removeOne) {
        context_.ramp(0, 30);
        const auto& findings = list_.findings();
        start(findings.size());
        try {
            for (std::size_t row = 0; row < findings.size(); ++row) {
                const Finding& finding = findings[row];
                if (!finding.checked) continue;
                begin(row);
                const bool held = heldBack(finding);
                handled(row, held ? RemovalOutcome::Left : toOutcome(removeOne(finding)), held);
            }
            flush();
        } catch (...) {
            finish();
            throw;
        }
        finish();
    }

    const RemovalTally& tally() const { return tally_; }

private:
    bool heldBack(const Finding& finding) const { return context_.holdBack && context_.holdBack(finding); }
    static RemovalOutcome toOutcome(RemovalOutcome outcome) { return outcome; }
    static RemovalOutcome toOutcome(bool gone) { return gone ? RemovalOutcome::Removed : RemovalOutcome::Left; }
    void start(std::size_t findings);
    void begin(std::size_t row);
    void handled(std::size_t row, RemovalOutcome outcome, bool held);
    void flush();
    // The list refilled with what is left: the findings not checked, those left, and those whose
    // outcome never came (not reached, or their group not made); each checked finding handled
    // goes to the removal log, in list order.
    void finish();

    // What became of a checked finding: none while it is not handled; Pending while its change
    // waits for its group.
    struct Handled {
        std::optional<RemovalOutcome> outcome;
        bool heldBack = false;
        std::string why{};
    };

    ScanContext& context_;
    ResultList& list_;
    std::vector<Handled> rows_;  // by row
    std::unique_ptr<ChangeGroup> changes_;
    std::string refusal_;  // why the journal refused a group, told once
    RemovalTally tally_;
};

}  // namespace keltora
