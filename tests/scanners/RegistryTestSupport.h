#pragma once
// Helpers of the registry scanner tests: .reg text, the folders the base machine names, and a
// registry that counts the calls made through it and can refuse writes.
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "platform/RegistryApi.h"
#include "support/World.h"

namespace keltora::testing {

inline std::string RegText(const std::string& body) { return "Windows Registry Editor Version 5.00\n\n" + body; }

// The folders the values of the base machine name, so that the deep analysis finds none there.
inline void AddBaseFolders(World& world) {
    for (const char* folder : {"C:\\Windows\\system32", "C:\\Program Files\\Common Files", "C:\\Users\\pat\\Recent"})
        world.files().createDirectories(folder);
}

// Forwards every call to the registry below it, counting them; a write can be made to fail.
class CountingRegistry : public RegistryApi {
public:
    explicit CountingRegistry(RegistryApi& inner) : inner_(inner) {}

    long openKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) override {
        if (ansiPathLimit && subKey.size() >= kAnsiPathLimit) return count(kErrorInvalidParameter);
        return count(inner_.openKey(parent, subKey, access, result));
    }
    long createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) override {
        return count(inner_.createKey(parent, subKey, access, result));
    }
    long closeKey(HKey key) override { return count(inner_.closeKey(key)); }
    long flushKey(HKey key) override { return count(inner_.flushKey(key)); }
    long queryInfoKey(HKey key, KeyInfo& info) override { return count(inner_.queryInfoKey(key, info)); }
    long enumKey(HKey key, std::uint32_t index, std::uint32_t capacity, std::string& name) override {
        return count(inner_.enumKey(key, index, capacity, name));
    }
    long enumValue(HKey key, std::uint32_t index, std::uint32_t capacity, std::string& name) override {
        return count(inner_.enumValue(key, index, capacity, name));
    }
    long enumValueData(HKey key, std::uint32_t index, std::uint32_t capacity, std::string& name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t* size) override {
        return count(inner_.enumValueData(key, index, capacity, name, type, data, size));
    }
    long queryValue(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        return count(inner_.queryValue(key, name, type, data, size));
    }
    long setValue(HKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        ++calls;
        if (refuseWrites && refuseWrites()) return kErrorAccessDenied;
        return inner_.setValue(key, name, type, data, size);
    }
    long deleteKey(HKey key, const std::string& subKey) override { return count(inner_.deleteKey(key, subKey)); }
    long deleteValue(HKey key, const std::string& name) override { return count(inner_.deleteValue(key, name)); }
    long openKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                  HKey& result) override {
        return count(inner_.openKeyW(parent, subKey, options, access, result));
    }
    long createKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                    HKey& result) override {
        return count(inner_.createKeyW(parent, subKey, options, access, result));
    }
    long enumKeyW(HKey key, std::uint32_t index, std::uint32_t capacity, std::u16string& name) override {
        return count(inner_.enumKeyW(key, index, capacity, name));
    }
    long enumValueW(HKey key, std::uint32_t index, std::uint32_t capacity, std::u16string& name) override {
        return count(inner_.enumValueW(key, index, capacity, name));
    }
    long enumValueDataW(HKey key, std::uint32_t index, std::uint32_t capacity, std::u16string& name,
                        std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override {
        return count(inner_.enumValueDataW(key, index, capacity, name, type, data, size));
    }
    long queryValueW(HKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                     std::uint32_t* size) override {
        return count(inner_.queryValueW(key, name, type, data, size));
    }
    long setValueW(HKey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                   std::uint32_t size) override {
        ++calls;
        if (refuseWrites && refuseWrites()) return kErrorAccessDenied;
        return inner_.setValueW(key, name, type, data, size);
    }
    long deleteKeyW(HKey key, const std::u16string& subKey) override { return count(inner_.deleteKeyW(key, subKey)); }
    long deleteOpenedKey(HKey key) override { return count(inner_.deleteOpenedKey(key)); }
    long getKeySecurity(HKey key, std::vector<std::uint8_t>& descriptor) override {
        return count(inner_.getKeySecurity(key, descriptor));
    }
    long setKeySecurity(HKey key, const std::vector<std::uint8_t>& descriptor) override {
        return count(inner_.setKeySecurity(key, descriptor));
    }
    long deleteValueW(HKey key, const std::u16string& name) override { return count(inner_.deleteValueW(key, name)); }
    long keyNameW(HKey key, std::u16string& name) override { return count(inner_.keyNameW(key, name)); }
    long isLinkW(HKey openedAsLink, bool& link) override { return count(inner_.isLinkW(openedAsLink, link)); }
    std::string systemMessage(long code) override { return inner_.systemMessage(code); }

    std::size_t calls = 0;
    // Wine's ANSI registry calls take a key path of fewer than 260 characters.
    static constexpr std::size_t kAnsiPathLimit = 260;
    bool ansiPathLimit = false;
    // Asked before every write; true refuses it with access denied.
    std::function<bool()> refuseWrites;

private:
    long count(long rc) {
        ++calls;
        return rc;
    }
    RegistryApi& inner_;
};

// The window's logic on the world's machine, with its registry seen through a CountingRegistry.
struct CountedForm {
    explicit CountedForm(World& world, double pace = 1.0)
        : registry(world.machine.registry),
          platform{registry, world.machine.files, world.machine.shell, world.machine.clipboard, world.machine.clock, world.machine.codePage,
                      world.machine.account, world.machine.commandLock},
          form(platform, world.host, pace) {
        form.FormCreate();
    }
    CountingRegistry registry;
    Platform platform;
    TForm1 form;
};

// The positions the progress bar moves to, in order, from the moment this is made.
struct BarRecorder {
    explicit BarRecorder(ProgressBar& bar) {
        bar.onChange = [this](Control& control) { positions.push_back(static_cast<ProgressBar&>(control).position()); };
    }
    std::vector<int> positions;
};

// from, from + 1, ..., to: a bar that climbed one step at a time and never went back.
inline std::vector<int> Climb(int from, int to) {
    std::vector<int> steps(static_cast<std::size_t>(to - from + 1));
    std::iota(steps.begin(), steps.end(), from);
    return steps;
}

}  // namespace keltora::testing
