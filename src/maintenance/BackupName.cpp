#include "maintenance/BackupName.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <vector>

#include "platform/Helpers.h"

namespace keltora {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (auto cut = text.find(separator); cut != std::string::npos; cut = text.find(separator, start)) {
        pieces.push_back(text.substr(start, cut - start));
        start = cut + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

std::optional<int> number(const std::string& text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

// Three decimal numbers separated by '-'.
std::optional<std::array<int, 3>> triple(const std::string& text) {
    auto pieces = split(text, '-');
    if (pieces.size() != 3) return std::nullopt;
    std::array<int, 3> values{};
    for (std::size_t i = 0; i < 3; ++i) {
        auto value = number(pieces[i]);
        if (!value) return std::nullopt;
        values[i] = *value;
    }
    return values;
}

bool validDate(int day, int month, int year) {
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= (month == 2 && !leap ? 28 : kDays[month - 1]);
}

std::string TimeName(const std::string& prefix, const LocalTime& t) {
    auto n = [](int v) { return std::to_string(v); };
    return prefix + n(t.hour) + "-" + n(t.minute) + "-" + n(t.second) + "_" + n(t.day) + "-" + n(t.month) + "-" +
           n(t.year);
}

}  // namespace

std::string BackupFileName(const LocalTime& t) { return TimeName("Backup_", t) + ".reg"; }

namespace {

std::string JournalPrefix(JournalOwner owner) { return owner == JournalOwner::User ? "UserUndo_" : "Undo_"; }

}  // namespace

std::string JournalFileName(JournalOwner owner, const LocalTime& t, int sequence) {
    return TimeName(JournalPrefix(owner), t) + (sequence > 1 ? "_" + std::to_string(sequence) : "") + ".reg";
}

std::string JournalFilePattern(JournalOwner owner) { return JournalPrefix(owner) + "*.reg"; }

std::optional<JournalOwner> JournalOwnerOf(const std::string& name) {
    for (const JournalOwner owner : {JournalOwner::Administrator, JournalOwner::User}) {
        const std::string prefix = JournalPrefix(owner);
        if (name.size() > prefix.size() + 4 && name.compare(0, prefix.size(), prefix) == 0 &&
            name.compare(name.size() - 4, 4, ".reg") == 0)
            return owner;
    }
    return std::nullopt;
}

std::string ShortDateText(int day, int month, int year) {
    return std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
}

std::string LongTimeText(int hour, int minute, int second) {
    char text[32];
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    std::snprintf(text, sizeof text, "%d:%02d:%02d %s", hour12, minute, second, hour < 12 ? "AM" : "PM");
    return text;
}

BackupNameParts ParseBackupFileName(const std::string& name) {
    BackupNameParts parts;
    const auto pieces = split(name, '_');
    if (pieces.size() < 3) return parts;
    const auto date = triple(RemoveSubstring(".reg", pieces[2]));
    if (!date || !validDate((*date)[0], (*date)[1], (*date)[2])) return parts;
    parts.date = ShortDateText((*date)[0], (*date)[1], (*date)[2]);
    const auto time = triple(pieces[1]);
    if (!time || (*time)[0] < 0 || (*time)[0] > 23 || (*time)[1] < 0 || (*time)[1] > 59 || (*time)[2] < 0 ||
        (*time)[2] > 59)
        return parts;
    parts.time = LongTimeText((*time)[0], (*time)[1], (*time)[2]);
    return parts;
}

}  // namespace keltora
