#pragma once
// The two registry views of 64-bit Windows as this 64-bit program meets them. What 32-bit
// programs keep in SOFTWARE and in the class keys shows here below a WOW6432Node key
// (SOFTWARE\WOW6432Node, Software\Classes\WOW6432Node). Its data was written by and for 32-bit
// programs, and the file names in it are names as such a program uses them, which the system
// redirects: a 32-bit program's System32 is SysWOW64, its Sysnative is System32, its
// %ProgramFiles% is "Program Files (x86)".
#include <string>
#include <string_view>

namespace keltora {

enum class RegistryView { Native, Wow32 };

// The view a key belongs to, by its path below the root: the 32-bit one below any WOW6432Node.
RegistryView ViewOfKey(std::u16string_view keyPath);

// The name under which this process finds the file that a program of a view names by a path.
class FileView {
public:
    FileView() = default;  // the native view: every name as it is
    FileView(RegistryView view, std::string systemRoot);
    std::string operator()(const std::string& path) const;

private:
    bool redirected_ = false;
    std::string systemRoot_;
};

}  // namespace keltora
