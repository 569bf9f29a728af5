#pragma once
// Findings the user has set aside: shown in their own list, kept in Data<code>.dat below the
// program's ignore folder, and skipped by every later scan of the category.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "scan/ResultList.h"

namespace keltora {

struct IgnoreEntry {
    std::string caption;
    std::string location;
};

// One line of an ignore file. A plain line is caption "=" location. A caption or location
// holding "=" or a control character (CR, LF, TAB ...) is written with those and "%" as %XX and
// the line marked, so it reads back whole as one entry; plain lines read as they always have, a
// line without "=" as a caption with an empty location.
std::string FormatIgnoreLine(const IgnoreEntry& entry);
IgnoreEntry ParseIgnoreLine(std::string_view line);

class IgnoreList {
public:
    IgnoreList(std::string code, std::string listName);

    const std::string& code() const { return code_; }
    ResultList& view() { return view_; }
    const ResultList& view() const { return view_; }
    std::string fileName() const { return "Data" + code_ + ".dat"; }

    // Exact, case-sensitive comparison with every entry's caption.
    bool contains(const std::string& name) const;
    // The same, for a category whose names repeat from place to place (a value "0" in every
    // recent-items list, a file name in every folder of a walk): the entry's location must be
    // exactly this one too.
    bool contains(const std::string& name, const std::string& location) const;

    // Reads the file of the category in folder; a missing or unreadable file loads nothing.
    void load(FileSystem& fs, const std::string& folder);
    // Appends an entry and its line; raises std::runtime_error when the file cannot be written,
    // leaving the entry in memory only.
    void add(FileSystem& fs, const std::string& folder, const IgnoreEntry& entry);
    // Empties the file and the list.
    void clear(FileSystem& fs, const std::string& folder);

private:
    void append(const IgnoreEntry& entry);
    std::unique_ptr<OpenedFile> open(FileSystem& fs, const std::string& folder) const;

    std::string code_;
    ResultList view_;
};

// The classic categories that keep an ignore file; every category whose row names an ignore list
// keeps one (the places of today's Windows too).
inline constexpr std::string_view kIgnoreCodes[] = {"sp", "ue", "pc", "fe", "ax"};

}  // namespace keltora
