#pragma once
// The category of one browser (edge, chrome, brave, firefox): every profile the browser lists,
// each item of a profile one finding that names the browser, the profile and the item with its
// size, one finding per cookie site. The findings of a browser that runs are listed unchecked
// ("Close Microsoft Edge to clean") and a removal leaves them as they are. "Ignore Items" keeps
// a cookie site of a profile for good (its cookies, and its addresses in the history); on any
// other finding it sets the whole profile aside.
#include <string>
#include <unordered_map>
#include <vector>

#include "scan/Category.h"
#include "scanners/browsers/BrowserItems.h"

namespace keltora {

class BrowserCategory : public Category {
public:
    BrowserCategory(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore);
    void scan() override;    // edgeExecute, chromeExecute, braveExecute, firefoxExecute
    void remove() override;  // removeedgeExecute, removechromeExecute ...
    std::string notLookedAt() const override { return note->caption(); }
    IgnoreEntry ignoreEntryOf(const Finding& finding) const override;

private:
    // An item the latest scan listed, by the finding it made.
    struct Listed {
        std::size_t profile;  // into profiles_
        BrowserItem item;
    };
    using Outcomes = std::unordered_map<std::string, ItemOutcome>;
    // A checked finding to remove: which it is, and its caption for what the user is told.
    struct Chosen {
        std::string key;
        std::string caption;
    };

    // The sites the ignore list keeps in the profile at a location.
    KeepList keepListOf(const std::string& location);
    // What the findings of one profile share: the detail's start, the location, the removal text.
    struct ProfileTexts {
        std::string detail;
        std::string location;
        std::string report;
    };
    ProfileTexts textsOf(const BrowserProfile& profile, bool closed) const;
    Finding findingOf(const ProfileTexts& texts, const BrowserProfile& profile, const BrowserItem& item) const;
    // The checked findings to remove, each asked once whether it must be held back (those go into
    // held, with why).
    std::vector<Chosen> chooseChecked(std::unordered_map<std::string, std::string>& held);
    // The outcome of each chosen finding (by its key), the profiles found again as they are now.
    Outcomes removeChosen(FileRemoval& files, const std::vector<Chosen>& chosen);
    // What the user is told of what stayed: the findings a running browser kept, then the rest.
    void tell(const std::vector<Chosen>& chosen, const Outcomes& outcomes, int running) const;

    const Browser& browser_;
    std::vector<BrowserProfile> profiles_;
    std::unordered_map<std::string, Listed> listed_;
};

}  // namespace keltora
