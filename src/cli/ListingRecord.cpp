#include "cli/ListingRecord.h"

#include <charconv>
#include <cstdint>

#include "platform/Helpers.h"

namespace keltora {

namespace {

// FNV-1a, 64 bits: a change of the listing changes it; nothing here is secret.
struct Digest {
    std::uint64_t value = 14695981039346656037ull;
    void add(std::string_view bytes) {
        for (char c : bytes) {
            value ^= static_cast<unsigned char>(c);
            value *= 1099511628211ull;
        }
    }
    // Each text with its length first, so that no two lists of texts give one stream of bytes.
    void addText(std::string_view text) {
        char length[24];
        const auto end = std::to_chars(length, length + sizeof length, text.size()).ptr;
        add(std::string_view(length, static_cast<std::size_t>(end - length)));
        add(":");
        add(text);
    }
};

}  // namespace

std::string ListingDigest(const ResultList& list) {
    Digest digest;
    digest.addText(std::to_string(list.size()));
    for (const auto& finding : list.findings()) {
        digest.addText(std::to_string(finding.subItems.size()));
        digest.addText(finding.caption);
        for (const auto& item : finding.subItems) digest.addText(item);
        // A file put in a listed file's place, under its name, is another finding.
        if (finding.listedFile.known())
            digest.addText(std::to_string(finding.listedFile.volume) + "-" + std::to_string(finding.listedFile.file));
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i) text[static_cast<std::size_t>(i)] = kHex[(digest.value >> (4 * (15 - i))) & 0xF];
    return text;
}

void ListingRecord::remember(std::string_view code, const ResultList& list) {
    HKey key = 0;
    if (registry_.createKey(kHKeyCurrentUser, kKey, kKeyWrite, key) != kErrorSuccess) return;
    const std::string digest = ListingDigest(list);
    registry_.setValue(key, std::string(code), kRegSz, reinterpret_cast<const std::uint8_t*>(digest.c_str()),
                       static_cast<std::uint32_t>(digest.size() + 1));
    registry_.closeKey(key);
}

std::string ListingRecord::recorded(std::string_view code) const {
    return RegReadString(registry_, kHKeyCurrentUser, kKey, std::string(code));
}

}  // namespace keltora
