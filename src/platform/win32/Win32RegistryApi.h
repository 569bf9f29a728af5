#pragma once
// The registry through advapi32: the ANSI calls the program makes, and the wide calls that name
// keys and values exactly.
#include "platform/RegistryApi.h"

namespace keltora {

class Win32RegistryApi final : public RegistryApi {
public:
    long openKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) override;
    long createKey(HKey parent, const std::string& subKey, std::uint32_t access, HKey& result) override;
    long closeKey(HKey key) override;
    long flushKey(HKey key) override;
    long queryInfoKey(HKey key, KeyInfo& info) override;
    long enumKey(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) override;
    long enumValue(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name) override;
    long queryValue(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long setValue(HKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long enumValueData(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::string& name,
                       std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;
    long deleteKey(HKey key, const std::string& subKey) override;
    long deleteValue(HKey key, const std::string& name) override;
    long openKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                  HKey& result) override;
    long createKeyW(HKey parent, const std::u16string& subKey, std::uint32_t options, std::uint32_t access,
                    HKey& result) override;
    long enumKeyW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name) override;
    long enumValueW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name) override;
    long queryValueW(HKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                     std::uint32_t* size) override;
    long setValueW(HKey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                   std::uint32_t size) override;
    long enumValueDataW(HKey key, std::uint32_t index, std::uint32_t nameCapacity, std::u16string& name,
                        std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;
    long deleteKeyW(HKey key, const std::u16string& subKey) override;
    long deleteOpenedKey(HKey key) override;
    long getKeySecurity(HKey key, std::vector<std::uint8_t>& descriptor) override;
    long setKeySecurity(HKey key, const std::vector<std::uint8_t>& descriptor) override;
    long deleteValueW(HKey key, const std::u16string& name) override;
    long keyNameW(HKey key, std::u16string& name) override;
    long isLinkW(HKey openedAsLink, bool& link) override;
    std::string systemMessage(long code) override;
};

}  // namespace keltora
