#include "scan/ScanContext.h"

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
        case RemovalOutcome::Left: ++left; break;
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
    context_.findingTakes.clear();
    context_.host.setCursor(Cursor::Hourglass);
    context_.progress.setPosition(0);
}

void RemovalRun::record(const Finding& finding, RemovalOutcome outcome, bool held) {
    std::string why = std::move(context_.leftBecause);
    std::vector<std::string> takes = std::move(context_.findingTakes);
    context_.leftBecause.clear();
    context_.findingTakes.clear();
    if (context_.removalLog)
        context_.removalLog->push_back({finding, outcome, held, std::move(why), std::move(takes)});
}

void RemovalRun::finish() {
    list_.clear();
    context_.ramp(30, 100);
    if (!held_.empty()) list_.replaceAll(std::move(held_));
    held_.clear();
}

RemovalRun::~RemovalRun() {
    context_.lastCount = static_cast<int>(list_.size());
    context_.lastRemoval = tally_;
    context_.progress.setPosition(0);
    context_.host.setCursor(Cursor::Default);
}

}  // namespace keltora
