#include "scanners/places/PlaceRules.h"

#include <algorithm>
#include <charconv>

#include "platform/AsciiNoCase.h"
#include "platform/FileMask.h"
#include "platform/Helpers.h"

namespace keltora {

namespace {

// The program's settings key, where the window keeps its options (SettingsStore::kKey).
constexpr const char* kSettingsKey = "Software\\KeltoraPro";
// A bound no real setting needs: about eleven years.
constexpr int kMaxAgeHours = 100'000;

std::vector<std::u16string_view> splitList(std::u16string_view text) {
    std::vector<std::u16string_view> parts;
    while (!text.empty()) {
        const auto cut = std::min(text.find(u';'), text.size());
        if (cut > 0) parts.push_back(text.substr(0, cut));
        text.remove_prefix(std::min(cut + 1, text.size()));
    }
    return parts;
}

// The setting in decimal hours; the row's own bound when it is missing or not a number.
int ageHours(Platform& platform, const Place& place) {
    if (place.ageSetting.empty()) return place.minAgeHours;
    const std::string text = RegReadString(platform.registry, kHKeyCurrentUser, kSettingsKey, std::string(place.ageSetting));
    int hours = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), hours);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || hours < 0 || hours > kMaxAgeHours)
        return place.minAgeHours;
    return hours;
}

}  // namespace

PlaceRules::PlaceRules(Platform& platform, const Place& place)
    : place_(place),
      masks_(splitList(place.masks)),
      excluded_(splitList(place.excluded)),
      minAge_(static_cast<std::uint64_t>(ageHours(platform, place)) * kFileTimeHour),
      now_(platform.clock.systemTime()),
      takesEvery_(excluded_.empty() && std::any_of(masks_.begin(), masks_.end(), [](std::u16string_view mask) {
                      return mask == u"*" || mask == u"*.*";
                  })) {}

bool PlaceRules::excluded(std::u16string_view name) const {
    return std::any_of(excluded_.begin(), excluded_.end(), [&](std::u16string_view x) { return SameNoCase(x, name); });
}

bool PlaceRules::lists(std::u16string_view name) const {
    return !excluded(name) &&
           std::any_of(masks_.begin(), masks_.end(), [&](std::u16string_view mask) { return MatchesMask(mask, name); });
}

bool PlaceRules::enters(std::u16string_view name) const { return place_.subfolders && !excluded(name); }

bool PlaceRules::oldEnough(std::uint64_t lastWritten) const {
    // "More than so many hours ago": a time in the future is never old enough.
    return minAge_ == 0 || (lastWritten < now_ && now_ - lastWritten > minAge_);
}

bool PlaceRules::reaches(std::u16string_view relative) const {
    std::size_t start = 0;
    while (start < relative.size()) {
        const auto end = std::min(relative.find(u'\\', start), relative.size());
        const auto part = relative.substr(start, end - start);
        if (part.empty() || part == u"." || part == u".." || !enters(part)) return false;
        start = end + 1;
    }
    return true;
}

namespace {

void walk(Platform& platform, const PlaceRules& rules, const ListedFolder& folder, std::vector<FoundPath>& found) {
    std::vector<FoundFile> folders;
    const auto shared = std::make_shared<const ListedFolder>(folder);
    for (auto& entry : ListEntries(platform, folder, u"*")) {
        if (entry.isDirectory()) {
            folders.push_back(std::move(entry));
            continue;
        }
        FoundPath file = Found(platform, shared, std::move(entry));
        if (rules.lists(file) && rules.oldEnough(file.file.lastWritten)) found.push_back(std::move(file));
    }
    if (!rules.place().subfolders) return;
    for (const auto& entry : folders) {
        const ListedFolder below = EntryFolder(platform, folder, entry);
        if (rules.enters(std::u16string_view(below.path).substr(below.path.find_last_of(u'\\') + 1)))
            walk(platform, rules, below, found);
    }
}

}  // namespace

std::vector<FoundPath> WalkPlace(Platform& platform, const PlaceRules& rules, const ListedFolder& folder) {
    std::vector<FoundPath> found;
    walk(platform, rules, folder, found);
    return found;
}

}  // namespace keltora
