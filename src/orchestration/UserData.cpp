#include "orchestration/UserData.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "app/Unit1.h"
#include "scan/OnExit.h"
#include "platform/FolderRule.h"
#include "scan/UserFolder.h"
#include "scanners/places/PlaceFolder.h"

namespace keltora {

namespace {

// The categories that hold one user's data; every other category holds the machine's. The
// startup programs, the temporary files and the registry categories mix both, finding by finding.
// clang-format off
constexpr std::pair<std::string_view, UserScope> kUserScopes[] = {
    {"sp", UserScope::Location},  // the user's Run keys and Startup folder; the machine's Run key
    {"ue", UserScope::Location},
    {"fe", UserScope::Location},
    {"ax", UserScope::Location},
    {"url", UserScope::User},
    {"run", UserScope::User},
    {"pc", UserScope::User},
    {"bin", UserScope::User},
    {"temp", UserScope::Location},  // the user's temporary folder; the Windows folder's Temp
    {"clip", UserScope::User},
    {"co", UserScope::User},
    {"his", UserScope::User},
    {"tempie", UserScope::User},
    {"da", UserScope::Location},  // HKCU\SOFTWARE; HKLM\SOFTWARE
    {"utemp", UserScope::User},
    {"wer", UserScope::Location},  // the user's reports; the machine's below ProgramData
    {"cdump", UserScope::User},
    {"thumb", UserScope::User},
    {"jump", UserScope::User},
    {"inet", UserScope::User},
    {"mru", UserScope::User},
};
// clang-format on

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

// "HKCR", "HKCU\..." or "HKEY_LOCAL_MACHINE\...": a root key's name, then the path if any.
bool isRegistryLocation(std::string_view location) {
    const std::string_view root = location.substr(0, location.find('\\'));
    return root.size() > 2 && root.starts_with("HK") &&
           std::all_of(root.begin(), root.end(), [](char c) { return std::isupper(static_cast<unsigned char>(c)) || c == '_'; });
}

// A folder inside the Windows folder is the machine's; any other folder a scan lists (the
// profile's Startup, Temp, Cookies folders ...) is the user's. An unknown Windows folder makes
// every folder the user's: refusing is the side to err on.
bool isUserFolder(std::string_view folder, const std::string& systemRoot) {
    if (systemRoot.empty()) return true;
    std::string root = systemRoot;
    if (root.back() != '\\') root += '\\';
    return !startsWithNoCase(folder, root) && !startsWithNoCase(std::string(folder) + '\\', root);
}

// A removal of per-user data in the signed-in user's own process takes a second look at each
// checked file's folder: one the profile rule refuses is left as it is (a scan lists none from
// such a folder; this keeps the act to the same rule whatever listed it).
class ProfileCheck {
public:
    ProfileCheck(ScanContext& context, std::string code)
        : context_(context), code_(std::move(code)), machinePlaces_(MachinePlaceFolders(context.platform, code_)) {}
    // A file below one of the category's places of the machine's data (ProgramData's error
    // reports) is the machine's, whatever else the category lists: it keeps the machine's rules.
    bool inMachinePlace(const Finding& finding) const {
        if (machinePlaces_.empty()) return false;
        const auto folder = UsableFolder(finding.exactLocation.empty() ? context_.platform.codePage.toWide(finding.subItem(3))
                                                                       : finding.exactLocation);
        return folder && std::any_of(machinePlaces_.begin(), machinePlaces_.end(),
                                     [&](const std::u16string& place) { return IsWithinFolder(*folder, place); });
    }
    bool refuses(const Finding& finding) {
        const auto folder = UserFolderOf(code_, finding, context_.paths.systemRoot, context_.platform.codePage);
        if (!folder || inMachinePlace(finding)) return false;
        const auto why = UserFolderRefusal(context_, *folder);
        if (!why) return false;
        if (refused_++ == 0) first_ = context_.platform.codePage.toAnsi(*folder) + ": " + *why;
        context_.leftBecause = *why;
        return true;
    }
    void report() const {
        if (refused_ == 0) return;
        const std::string text =
            refused_ == 1 ? "A checked file was left as it is: a per-user setting named its folder, which is used "
                            "only inside the user's own profile folder. " + first_ + "."
                          : std::to_string(refused_) + " checked files were left as they are: per-user settings "
                            "named their folders, which are used only inside the user's own profile folder. The "
                            "first: " + first_ + ".";
        context_.host.showNotice(text);
    }

private:
    ScanContext& context_;
    std::string code_;
    std::vector<std::u16string> machinePlaces_;
    int refused_ = 0;
    std::string first_;
};

bool isUserRegistryLocation(std::string_view location) {
    return startsWithNoCase(location, "HKCU\\") || startsWithNoCase(location, "HKEY_CURRENT_USER\\");
}

// Why a finding held back for want of the token stays, as a removal's report gives it.
constexpr const char* kNeedsToken = "the machine's data, and this process runs without administrator rights";

// The categories whose changes the undo journals keep.
constexpr std::string_view kJournaled[] = {"sp", "ue", "fe", "ax", "da", "url", "run", "mru"};

}  // namespace

std::optional<std::u16string> UserFolderOf(std::string_view code, const Finding& finding,
                                           const std::string& systemRoot, CodePage& codePage) {
    const std::string& location = finding.subItem(3);
    if ((location.empty() && finding.exactLocation.empty()) || isRegistryLocation(location) ||
        !IsUserData(code, finding, systemRoot))
        return std::nullopt;
    return finding.exactLocation.empty() ? codePage.toWide(location) : finding.exactLocation;
}

UserScope ScopeOf(std::string_view code) {
    for (const auto& [category, scope] : kUserScopes)
        if (category == code) return scope;
    return UserScope::Machine;
}

bool IsUserData(std::string_view code, const Finding& finding, const std::string& systemRoot) {
    switch (ScopeOf(code)) {
        case UserScope::Machine: return false;
        case UserScope::User: return true;
        case UserScope::Location: break;
    }
    const std::string& location = finding.subItem(3);
    if (isRegistryLocation(location)) return isUserRegistryLocation(location);
    return isUserFolder(location, systemRoot);
}

bool NeedsAdministrator(std::string_view code, const Finding& finding) {
    return std::find(std::begin(kJournaled), std::end(kJournaled), code) != std::end(kJournaled) &&
           !isUserRegistryLocation(finding.subItem(3));
}

std::string NeedsAdministratorMessage(const std::vector<std::string>& categories) {
    std::string list;
    for (const auto& caption : categories) list += (list.empty() ? "" : ", ") + caption;
    return "Keltora Professional runs without administrator rights, so what it lists of the machine's data "
           "(HKEY_LOCAL_MACHINE, the classes of all users, the Startup files it would move below Program Files) "
           "was left in place and stays listed: " + list +
           ". What is your own (below HKEY_CURRENT_USER) was removed, and its undo journal is yours. "
           "To remove the rest, start Keltora Professional as an administrator.";
}

std::optional<AccountPair> RunsAsAnotherUser(Account& account) {
    auto process = account.processUser();
    auto session = account.sessionUser();
    if (!process || !session || *process == *session) return std::nullopt;
    return AccountPair{std::move(*process), std::move(*session)};
}

std::string HeldBackMessage(const AccountPair& accounts, const std::vector<std::string>& categories) {
    std::string list;
    for (const auto& caption : categories) list += (list.empty() ? "" : ", ") + caption;
    const std::string& admin = accounts.process.display;
    const std::string& user = accounts.session.display;
    return "Keltora Professional runs as " + admin + ", but " + user +
           " is signed in. What it lists of one user's own data (startup entries, typed URLs, "
           "Run history, recent documents, cookies, history, temporary files, the Recycle Bin, "
           "the clipboard) is " + admin + "'s, not " + user + "'s, so it was not removed: " + list +
           ". To clean " + user + "'s own data, start Keltora Professional as " + user +
           ", without another account's password.";
}

// ---------------------------------------------------------------------------------------------
// Where TForm1 starts a removal

// Without an administrator's token, what needs one is held back too: decided before anything
// changes, so that half a removal never stops at the first access denied.
std::size_t TForm1::removeForThisUser(Category& c) {
    const auto accounts = RunsAsAnotherUser(platform_.account);
    const bool standard = !platform_.account.elevated();
    const std::string code = c.code();
    if (accounts && ScopeOf(code) == UserScope::User) {
        // The bin and the clipboard are emptied whole, so nothing of the category runs at all.
        std::size_t held = 0;
        lastRemoval = {};
        for (const auto& finding : c.list().findings()) held += finding.checked ? 1 : 0;
        lastRemoval.left = static_cast<int>(held);
        lastCount = static_cast<int>(c.pageCount());
        return held;
    }
    std::size_t held = 0, needsToken = 0;
    ProfileCheck profile(context_, code);
    context_.holdBack = [&](const Finding& finding) {
        const bool user = accounts && ScopeOf(code) == UserScope::Location &&
                          IsUserData(code, finding, paths.systemRoot) && !profile.inMachinePlace(finding);
        const bool machine = standard && NeedsAdministrator(code, finding);
        held += user ? 1 : 0;
        needsToken += machine && !user ? 1 : 0;
        if (machine && !user) context_.leftBecause = kNeedsToken;
        return user || machine || (!accounts && profile.refuses(finding));
    };
    const OnExit release([this] { context_.holdBack = nullptr; });
    c.remove();
    profile.report();
    if (needsToken > 0) heldForRights_.emplace_back(c.info().summaryCaption);
    return held;
}

RemovalTally TForm1::removeCategory(Category& c) {
    std::size_t held = 0;
    const RemovalTally tally = removeFrom(c, &held);
    tellHeldForRights();
    if (held == 0) return tally;
    if (const auto accounts = RunsAsAnotherUser(platform_.account))
        host_.showNotice(HeldBackMessage(*accounts, {std::string(c.info().summaryCaption)}));
    return tally;
}

void TForm1::tellHeldForRights() {
    if (!heldForRights_.empty()) host_.showNotice(NeedsAdministratorMessage(heldForRights_));
    heldForRights_.clear();
}

}  // namespace keltora
