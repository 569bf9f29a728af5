#pragma once
// Folders taken from per-user data, under the profile rule of the folder rule (FolderRule.h): the
// Shell Folders values and the user's temporary folder are listed only inside the user's own
// profile folder, away from the machine's folders, and with no link on the way down from the
// profile. Otherwise nothing is listed from them, and the user is told which value named what and
// why it was passed over. Every category that lists a per-user folder reads it through here; a
// category whose folders come from the system (a known folder, which the user can redirect too)
// hands that folder to UserFolder as well.
#include <optional>
#include <string>
#include <string_view>

#include "scan/FileListing.h"
#include "scan/ScanContext.h"

namespace keltora {

// The folder a per-user value names, when the folder rule and the profile rule allow it; nullopt
// otherwise. source says where the value came from, for the message ("the Shell Folders value
// \"Cookies\""). An empty, relative or root value lists nothing without a word, as every folder
// value does.
std::optional<ListedFolder> UserFolder(ScanContext& context, std::string_view source, const std::u16string& value);
// The same for a value of the user's Shell Folders key, read afresh.
std::optional<ListedFolder> UserShellFolder(ScanContext& context, const std::string& name);

// Why a resolved folder taken from per-user data may not be acted on; nullopt when it may. The
// text rule only (for a removal's second look at what a scan listed: the act on each file makes
// sure no link leads elsewhere).
std::optional<std::string> UserFolderRefusal(ScanContext& context, std::u16string_view folder);

// A folder of the program's own files below the user's profile (the user's own undo journals),
// under the same rules, made where it is missing: part by part from the profile down, each part
// made only in one found to be no link, and then found to be no link itself, so that a process
// with more rights than the user never writes where a link the user made leads. Why it cannot be
// had, or nullopt once it stands. folder: exact in the ANSI code page, as Paths keeps it.
std::optional<std::string> MakeOwnUserFolder(Platform& platform, const Paths& paths, const std::string& folder);

}  // namespace keltora
