#pragma once
// The conformance suite runs the same tests of the platform operations against the in-memory
// backends (natively) and the Win32 ones (under Wine). Each build provides this environment.
#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace keltora::conformance {

class ConformanceEnv {
public:
    virtual ~ConformanceEnv() = default;
    virtual Platform& platform() = 0;
    // A key below HKEY_CURRENT_USER that exists and is empty when a test starts, such as
    // "Software\KeltoraConformance"; removed with everything below it when the test ends.
    virtual std::string scratchKey() = 0;
    // HKEY_CURRENT_USER as a registry link names it: \Registry\User\<the user's SID>.
    virtual std::u16string userKeyNtPath() = 0;
    // A folder with a drive letter that exists and is empty when a test starts, no trailing '\'.
    virtual std::string scratchFolder() = 0;
    // A file of the given size (sparse where the backend allows it).
    virtual void makeFile(const std::string& path, std::uint64_t size) = 0;
    // A small file by its exact UTF-16 path, as written ("\\?\"): names with a trailing dot, or
    // with characters outside the ANSI code page.
    virtual void makeExactFile(const std::u16string& path) = 0;
    // Called around every test.
    virtual void setUp() = 0;
    virtual void tearDown() = 0;
};

// Defined once per build: the memory environment natively, the Win32 one under Wine.
ConformanceEnv& conformanceEnv();

}  // namespace keltora::conformance
