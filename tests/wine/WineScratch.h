#pragma once
// A test fixture with the Win32 platform, an empty scratch key below HKEY_CURRENT_USER and an
// empty scratch folder, both removed again when the test ends.
#include <gtest/gtest.h>

#include <string>

#include "platform/conformance/ConformanceEnv.h"

namespace keltora::wine {

class WineScratch : public ::testing::Test {
protected:
    void SetUp() override { env().setUp(); }
    void TearDown() override { env().tearDown(); }

    static conformance::ConformanceEnv& env() { return conformance::conformanceEnv(); }
    Platform& platform() { return env().platform(); }
    std::string key() { return env().scratchKey(); }
    std::string folder() { return env().scratchFolder(); }
    std::string inFolder(const std::string& name) { return folder() + "\\" + name; }
};

}  // namespace keltora::wine
