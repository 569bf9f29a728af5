#pragma once
// Windows path rules for the memory file system.
#include <string>
#include <vector>

namespace keltora {

// GetFullPathNameA against a current folder such as "C:\": '/' is '\', doubled separators
// collapse, "." and ".." are resolved (never above the drive root), the last part loses its
// trailing dots and blanks, a trailing '\' stays. Empty for an empty path.
std::string FullPathName(const std::string& path, const std::string& currentFolder);

// "C:\a\b" as drive letter 'C' (upper case) and parts {"a", "b"}; false when not of that form.
bool SplitFullPath(const std::string& fullPath, char& drive, std::vector<std::string>& parts);

}  // namespace keltora
