#pragma once
// Windows path rules for the memory file system.
#include <string>
#include <string_view>
#include <vector>

namespace keltora {

// GetFullPathName against a current folder such as "C:\": '/' is '\', doubled separators
// collapse, "." and ".." are resolved (never above the drive root), the last part loses its
// trailing dots and blanks, a trailing '\' stays. Empty for an empty path.
std::u16string FullPathName(std::u16string_view path, std::u16string_view currentFolder);
std::string FullPathName(const std::string& path, const std::string& currentFolder);

// "C:\a\b" as drive letter 'C' (upper case) and parts {"a", "b"}; false when not of that form.
// The parts are taken as written: nothing is resolved.
bool SplitFullPath(std::u16string_view fullPath, char& drive, std::vector<std::u16string>& parts);

}  // namespace keltora
