#pragma once
// Registry pieces the registry scanners share: names listed exactly beside the ANSI forms the
// lists show, value data as the registry string read gives it, the re-check of a finding at fix
// time, and the location texts of the result lists.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryWide.h"
#include "scan/ScanContext.h"
#include "scanners/registry/RegistryRemoval.h"
#include "scanners/registry/RegistryViews.h"

namespace keltora {

// A name as Windows keeps it and as the lists show it.
struct ListedName {
    std::u16string wide;
    std::string ansi;   // what the ANSI calls give: the caption the lists show, what ignore lists hold
    bool exact = true;  // the ANSI form names this very item
    // What a finding carries as its exact identity: the wide form where the ANSI one could name
    // another item, nothing where it names this one.
    std::u16string identity() const { return exact ? std::u16string() : wide; }
};
ListedName NameOf(CodePage& codePage, std::u16string wide);

// The subkeys or values of an open key, exactly, in the registry's order; those listed before a
// failure when the listing fails.
std::vector<ListedName> SubkeysOf(const Platform& platform, HKey key);
std::vector<ListedName> ValuesOf(const Platform& platform, HKey key);

// Value data as the registry string read gives it (RegQueryValueExA into 256 bytes): string
// types in the code page, read whole as Windows reads them (data of odd length or without its
// terminating NUL loses no character), without the one terminating NUL; nullopt when the data
// does not fit. exact is false when the text holds characters the code page lacks.
std::optional<std::string> StringReadText(CodePage& codePage, std::uint32_t type, const std::uint8_t* data,
                                          std::uint32_t size, bool& exact);
// The wide buffer that holds whatever fits the string read's 256 bytes.
constexpr std::uint32_t kWideReadBuffer = 512;
// The string read of a value by its exact name: empty on any failure or when it does not fit.
std::string ReadTextExact(const Platform& platform, HKey key, const std::u16string& name, bool* exact = nullptr);

// The paths a value's data names, as Windows reads them: a string whole, each string of a
// REG_MULTI_SZ, REG_EXPAND_SZ data (and with expandPlain REG_SZ data too) with its environment
// variables expanded as a program of the view finds them. nullopt for data that is never judged as
// a path: of another type, too long for the string read, with characters the code page lacks, or
// with a variable that has no value.
std::optional<std::vector<std::string>> PathTexts(const Platform& platform, std::uint32_t type,
                                                  const std::uint8_t* data, std::uint32_t size, RegistryView view,
                                                  bool expandPlain);
// The same for the value of that exact name of an open key.
std::optional<std::vector<std::string>> ReadPathTexts(const Platform& platform, HKey key, const std::u16string& name,
                                                      RegistryView view, bool expandPlain);
// text with its environment variables expanded for a program of the view: a 32-bit program's
// %ProgramFiles% and %CommonProgramFiles% are the (x86) folders. nullopt when one has no value.
std::optional<std::string> ExpandForView(const Platform& platform, const std::string& text, RegistryView view);

// Every value of root\path (opened for reading by its own path, never through a link) with its
// data as the string read gives it; empty when the key does not open so.
struct ListedValue {
    ListedName name;
    std::string data;
};
std::vector<ListedValue> ListValues(const Platform& platform, HKey root, const std::u16string& path);

// The removal of a finding that lists one value of root\path with its data in "Detail Info" (a
// Run entry, a typed address, a Run-box command): the value goes only while it still holds the
// data the list shows; otherwise nothing is changed and it is no longer a finding.
RemovalOutcome RemoveListedValue(ScanContext& context, RegistryRemoval& room, HKey root, const std::u16string& path,
                                 const Finding& finding);

// The item a finding names: its exact identity where it carries one, else its ANSI text as the
// ANSI calls would take it (exact, since the scan gave no identity).
std::u16string ExactItem(const std::u16string& identity, const std::string& ansi, CodePage& codePage);

// A name that stands for exactly one key below its parent: a backslash would reach further down.
bool IsSingleKeyName(const std::string& name);
bool IsSingleKeyName(const std::u16string& name);

// parent\name, or name alone below the root itself.
std::string JoinKey(const std::string& parent, const std::string& name);
std::u16string JoinKey(const std::u16string& parent, const std::u16string& name);

// One key a scan lists the entries of, as a row of its table: the root and the path below it.
// Its findings name it by its location text ("HKLM\" and the path), from which the removal finds
// the row again, so a removal acts only in a key its scan lists.
struct ScanSource {
    HKey root;
    std::string_view path;  // ASCII, which every code page carries as it is
    std::u16string widePath() const { return std::u16string(path.begin(), path.end()); }
};
std::string LocationText(HKey root, std::string_view path);
inline std::string LocationText(const ScanSource& source) { return LocationText(source.root, source.path); }
// The source whose location text is exactly this one; null for any other text.
const ScanSource* SourceAt(std::span<const ScanSource> sources, std::string_view location);

// A location text of a result list ("HKLM\SOFTWARE\K1", "HKCR\CLSID", "HKCR") read back: the
// root its abbreviation stands for and the key path below it. Only the leading abbreviation is
// taken off, so a key whose own name holds "HKLM" keeps its name.
struct KeyLocation {
    HKey root = 0;
    std::string path;
};
std::optional<KeyLocation> ParseLocation(std::string_view text);

}  // namespace keltora
