// The conformance suite's environment for the memory backends: a fresh platform per test.
#include <gtest/gtest.h>

#include <memory>

#include "platform/conformance/ConformanceEnv.h"
#include "platform/memory/MemoryPlatform.h"

namespace keltora::conformance {
namespace {

class MemoryConformanceEnv : public ConformanceEnv {
public:
    Platform& platform() override { return memory_->platform(); }
    std::string scratchKey() override { return "Software\\KeltoraConformance"; }
    std::u16string userKeyNtPath() override { return std::u16string(u"\\Registry\\User\\") + kMemoryUserSid; }
    std::string scratchFolder() override { return "C:\\keltora-conformance"; }
    void makeFile(const std::string& path, std::uint64_t size) override { memory_->files.addFile(path, size); }
    void makeExactFile(const std::u16string& path) override { memory_->files.addFile(path, 1, "x"); }

    void setUp() override {
        memory_ = std::make_unique<MemoryPlatform>();
        memory_->registry.addKey(kHKeyCurrentUser, scratchKey());
        memory_->files.addDirectory(scratchFolder());
    }
    // Every platform operation closes what it opens; a handle left over is a leak.
    void tearDown() override { EXPECT_EQ(0u, memory_->registry.openHandles()) << "registry handles left open"; }

private:
    std::unique_ptr<MemoryPlatform> memory_ = std::make_unique<MemoryPlatform>();
};

}  // namespace

ConformanceEnv& conformanceEnv() {
    static MemoryConformanceEnv env;
    return env;
}

}  // namespace keltora::conformance
