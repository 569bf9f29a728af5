#pragma once
// The base of the conformance tests: the environment's scratch key and folder are fresh around
// every test. Only the platform interfaces are used, so that the same tests judge every backend.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ConformanceEnv.h"

namespace keltora::conformance {

class ConformanceTest : public ::testing::Test {
protected:
    void SetUp() override { conformanceEnv().setUp(); }
    void TearDown() override { conformanceEnv().tearDown(); }

    static ConformanceEnv& env() { return conformanceEnv(); }
    static RegistryApi& registry() { return env().platform().registry; }
    static FileSystem& files() { return env().platform().files; }
    // The scratch key below HKEY_CURRENT_USER, and a path below it.
    static std::string key() { return env().scratchKey(); }
    static std::string key(const std::string& below) { return env().scratchKey() + "\\" + below; }
    // The scratch folder, and a path in it.
    static std::string folder() { return env().scratchFolder(); }
    static std::string inFolder(const std::string& name) { return env().scratchFolder() + "\\" + name; }

    // Setup straight through the registry interface, below HKEY_CURRENT_USER.
    static void makeKey(const std::string& path) { putValue(path, {}, kRegNone, {}, false); }
    static void putValue(const std::string& path, const std::string& name, std::uint32_t type,
                         const std::vector<std::uint8_t>& data, bool write = true) {
        HKey handle = 0;
        ASSERT_EQ(kErrorSuccess, registry().createKey(kHKeyCurrentUser, path, kKeyAllAccess, handle)) << path;
        if (write) {
            EXPECT_EQ(kErrorSuccess, registry().setValue(handle, name, type, data.data(),
                                                         static_cast<std::uint32_t>(data.size())));
        }
        registry().closeKey(handle);
    }
    static void putString(const std::string& path, const std::string& name, const std::string& value) {
        std::vector<std::uint8_t> data(value.begin(), value.end());
        data.push_back(0);
        putValue(path, name, kRegSz, data);
    }

    struct RawValue {
        long rc = kErrorSuccess;
        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> data;
    };
    // A value as RegQueryValueExA reports it.
    static RawValue rawValue(const std::string& path, const std::string& name) {
        RawValue value;
        HKey handle = 0;
        value.rc = registry().openKey(kHKeyCurrentUser, path, kKeyRead, handle);
        if (value.rc != kErrorSuccess) return value;
        std::uint32_t size = 0;
        value.rc = registry().queryValue(handle, name, &value.type, nullptr, &size);
        if (value.rc == kErrorSuccess) {
            value.data.resize(size);
            value.rc = registry().queryValue(handle, name, &value.type, value.data.data(), &size);
            value.data.resize(size);
        }
        registry().closeKey(handle);
        return value;
    }
};

}  // namespace keltora::conformance
