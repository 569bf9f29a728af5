#pragma once
// The databases of a profile the browser categories read and change, where each lies, and the
// check of its schema before anything is read or written: the tables and columns the readers
// and the removals name must be there, and a Chromium database must say (in its meta table) a
// version whose tables are the ones known here.
#include <optional>
#include <string>

#include "platform/Database.h"
#include "scan/FolderLookup.h"
#include "scanners/browsers/Profiles.h"

namespace keltora {

enum class BrowserDatabase { ChromiumHistory, ChromiumCookies, FirefoxPlaces, FirefoxCookies, FirefoxForms };

enum class SchemaVerdict { Known, Unknown, CannotBeRead };

// The database's file in a profile, found below its folder (the first of its places that is a
// plain file there); none when the profile has none.
std::optional<std::u16string> DatabaseFile(FolderLookup& profileFiles, BrowserDatabase which);

SchemaVerdict CheckSchema(Database& db, BrowserDatabase which);

}  // namespace keltora
