#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "platform/RegText.h"
#include "platform/RegistryWide.h"
#include "platform/memory/AnsiCodePage.h"
#include "platform/memory/RegFile.h"

namespace keltora {
namespace {

bool IsStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// Applies the statements of a file through the wide calls, so names and data land exactly.
class RegFileApplier {
public:
    RegFileApplier(RegistryApi& api, bool version5) : api_(api), version5_(version5) {}
    ~RegFileApplier() { closeKey(); }
    RegFileApplier(const RegFileApplier&) = delete;
    RegFileApplier& operator=(const RegFileApplier&) = delete;

    void apply(const RegStatement& statement) {
        switch (statement.kind) {
            case RegStatement::Kind::Comment: break;
            case RegStatement::Kind::Key: openKey(statement); break;
            case RegStatement::Kind::DeleteKey: deleteKey(statement); break;
            case RegStatement::Kind::Value: setValue(statement); break;
            case RegStatement::Kind::DeleteValue:
                if (section_ == Section::None) fail(statement, "value before the first key");
                if (section_ == Section::Key) api_.deleteValueW(key_, statement.name);
                break;
        }
    }

private:
    enum class Section { None, Key, Deleted };

    [[noreturn]] static void fail(const RegStatement& statement, const std::string& what) {
        throw std::runtime_error("line " + std::to_string(statement.line) + ": " + what);
    }

    void closeKey() {
        if (key_ != 0) api_.closeKey(key_);
        key_ = 0;
    }

    void openKey(const RegStatement& statement) {
        const auto key = SplitRegKey(statement.text);
        closeKey();
        HKey opened = 0;
        if (long rc = api_.createKeyW(key->root, key->path, 0, kKeyAllAccess, opened))
            fail(statement, "cannot create key '" + Utf16ToUtf8(statement.text) + "' (error " + std::to_string(rc) + ")");
        key_ = opened;
        section_ = Section::Key;
    }

    // Subkeys first; a key that is not there is no error. A link goes as the link: what it
    // points at is never reached.
    void deleteTree(HKey parent, const std::u16string& path) {
        ScopedKey key(api_);
        if (key.open(parent, path, kRegOptionOpenLink, kDeleteAccess | kKeyEnumerateSubKeys | kKeyQueryValue) !=
            kErrorSuccess)
            return;
        std::vector<std::u16string> names;
        if (!IsLinkKey(api_, key.get()) && SubkeyNamesW(api_, key.get(), names) == kErrorSuccess)
            for (auto it = names.rbegin(); it != names.rend(); ++it) deleteTree(key.get(), *it);
        api_.deleteOpenedKey(key.get());
    }

    void deleteKey(const RegStatement& statement) {
        const auto key = SplitRegKey(statement.text);
        closeKey();
        deleteTree(key->root, key->path);
        section_ = Section::Deleted;
    }

    void setValue(const RegStatement& statement) {
        if (section_ == Section::None) fail(statement, "value before the first key");
        if (section_ != Section::Key) return;
        std::vector<std::uint8_t> data = statement.data;
        // REGEDIT4 carries string types in hex as 8-bit text.
        if (!version5_ && IsStringType(statement.type) && !statement.data.empty())
            data = AnsiToUtf16Le(std::string(data.begin(), data.end()));
        if (long rc = api_.setValueW(key_, statement.name, statement.type, data.data(),
                                     static_cast<std::uint32_t>(data.size())))
            fail(statement, "cannot set value '" + Utf16ToUtf8(statement.name) + "' (error " + std::to_string(rc) + ")");
    }

    RegistryApi& api_;
    bool version5_;
    Section section_ = Section::None;
    HKey key_ = 0;
};

}  // namespace

void ApplyRegFile(RegistryApi& registry, const std::string& text) {
    MemoryCodePage codePage;
    const RegDocument document = ParseRegText(DecodeRegFile(text, codePage));
    RegFileApplier applier(registry, document.version5);
    for (const auto& statement : document.statements) applier.apply(statement);
}

void ApplyRegFileAt(RegistryApi& registry, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot be read");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        ApplyRegFile(registry, text);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

}  // namespace keltora
