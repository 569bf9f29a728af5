#include "scan/ScanContext.h"

#include "scan/ChangeGroup.h"

#include <utility>

namespace keltora {

void ScanContext::ramp(int from, int to, std::uint32_t stepMs) {
    for (int position = from; position <= to; ++position) {
        progress.setPosition(position);
        pause(stepMs);
    }
}

void ScanContext::pause(std::uint32_t ms) {
    if (pacer.scaled(ms) == 0) return;
    host.beforePause();
    pacer.pause(ms);
}

void ScanContext::stepBelow(int limit) {
    if (progress.position() < limit) progress.setPosition(progress.position() + 1);
}

ScanRun::ScanRun(ScanContext& context, ResultList& list, std::vector<Column> columns)
    : context_(context), list_(list) {
    context_.host.setCursor(Cursor::Hourglass);
    context_.progress.setPosition(0);
    list_.clear();
    list_.setColumns(std::move(columns));
    list_.scrollToTop();
}

ScanRun::~ScanRun() {
    context_.lastCount = static_cast<int>(list_.size());
    context_.progress.setPosition(0);
    context_.host.setCursor(Cursor::Default);
}

std::size_t ScanRun::add(std::string caption, std::vector<std::string> subItems, bool pause) {
    return add(Finding{std::move(caption), std::move(subItems), true}, pause);
}

std::size_t ScanRun::add(Finding finding, bool pause) {
    finding.checked = true;
    auto row = list_.add(std::move(finding));
    if (pause) context_.pause(kStepPauseMs);
    return row;
}

void RemovalTally::add(RemovalOutcome outcome) {
    switch (outcome) {
        case RemovalOutcome::Removed: ++removed; break;
        case RemovalOutcome::Gone: ++gone; break;
        case RemovalOutcome::NoLongerAFinding: ++noLongerFindings; break;
        case RemovalOutcome::Left:
        case RemovalOutcome::Pending: ++left; break;
    }
}

RemovalTally& RemovalTally::operator+=(const RemovalTally& other) {
    removed += other.removed;
    gone += other.gone;
    noLongerFindings += other.noLongerFindings;
    left += other.left;
    return *this;
}

RemovalRun::RemovalRun(ScanContext& context, ResultList& list) : context_(context), list_(list) {
    context_.lastRemoval = {};
    context_.leftBecause.clear();
    context_.host.setCursor(Cursor::Hourglass);
    context_.progress.setPosition(0);
}

// With a journal, the registry changes wait for their entries in a group of their own.
void RemovalRun::start(std::size_t findings) {
    rows_.assign(findings, {});
    if (context_.journal == nullptr || context_.dryRun) return;
    changes_ = std::make_unique<ChangeGroup>(
        *context_.journal, context_.platform.clock,
        [this](std::size_t row, RemovalOutcome outcome) {
            if (rows_[row].outcome == RemovalOutcome::Pending) rows_[row].outcome = outcome;
        },
        [this](const std::string& reason) {
            if (refusal_.empty()) refusal_ = reason;
        });
    context_.changes = changes_.get();
}

void RemovalRun::begin(std::size_t row) {
    context_.leftBecause.clear();
    if (changes_) changes_->setFinding(row);
}

void RemovalRun::handled(std::size_t row, RemovalOutcome outcome, bool held) {
    rows_[row] = {outcome, held, std::exchange(context_.leftBecause, {})};
    if (changes_) changes_->settle();
}

void RemovalRun::flush() {
    if (changes_) changes_->flush();
}

void RemovalRun::finish() {
    context_.changes = nullptr;
    changes_.reset();
    std::vector<Finding> held;
    const auto& findings = list_.findings();
    for (std::size_t row = 0; row < findings.size(); ++row) {
        Handled& handled = rows_[row];
        if (handled.outcome == RemovalOutcome::Pending) handled.outcome = RemovalOutcome::Left;
        if (handled.outcome) {
            tally_.add(*handled.outcome);
            if (context_.removalLog)
                context_.removalLog->push_back({findings[row], *handled.outcome, handled.heldBack, std::move(handled.why)});
        }
        if (!handled.outcome || *handled.outcome == RemovalOutcome::Left) held.push_back(findings[row]);
    }
    list_.clear();
    context_.ramp(30, 100);
    if (!held.empty()) list_.replaceAll(std::move(held));
    if (!refusal_.empty()) context_.host.showMessage(std::exchange(refusal_, {}));
}

RemovalRun::~RemovalRun() {
    context_.lastCount = static_cast<int>(list_.size());
    context_.lastRemoval = tally_;
    context_.progress.setPosition(0);
    context_.host.setCursor(Cursor::Default);
}

}  // namespace keltora
