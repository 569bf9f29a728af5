// The wide registry calls against a backend: exact names beside the forms the ANSI calls give,
// data exactly as stored, registry links, and the Windows codes.
#include <algorithm>
#include <functional>

#include "ConformanceFixture.h"
#include "platform/RegistryWide.h"

namespace keltora::conformance {
namespace {

std::u16string W(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

// Two key names the same but for the case of ASCII letters (the system may spell its roots
// otherwise than the program does).
bool SameNoCase(std::u16string a, std::u16string b) {
    for (auto* text : {&a, &b})
        for (auto& c : *text)
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return a == b;
}

class RegistryWideConformance : public ConformanceTest {
protected:
    static long openW(ScopedKey& key, const std::string& path, std::uint32_t options = 0,
                      std::uint32_t access = kKeyRead) {
        return key.open(kHKeyCurrentUser, W(path), options, access);
    }
    static void putW(const std::string& path, const std::u16string& name, std::uint32_t type,
                     const std::vector<std::uint8_t>& data) {
        HKey handle = 0;
        ASSERT_EQ(kErrorSuccess, registry().createKeyW(kHKeyCurrentUser, W(path), 0, kKeyAllAccess, handle));
        EXPECT_EQ(kErrorSuccess, registry().setValueW(handle, name, type, data.data(),
                                                      static_cast<std::uint32_t>(data.size())));
        registry().closeKey(handle);
    }
    // path becomes a link to the scratch key's subkey target.
    static void makeLink(const std::string& path, const std::string& target) {
        HKey handle = 0;
        ASSERT_EQ(kErrorSuccess,
                  registry().createKeyW(kHKeyCurrentUser, W(path), kRegOptionCreateLink, kKeyAllAccess, handle));
        std::vector<std::uint8_t> bytes = Utf16LeData(env().userKeyNtPath() + u"\\" + W(key(target)));
        bytes.resize(bytes.size() - 2);
        EXPECT_EQ(kErrorSuccess, registry().setValueW(handle, kSymbolicLinkValue, kRegLink, bytes.data(),
                                                      static_cast<std::uint32_t>(bytes.size())));
        registry().closeKey(handle);
    }
    static long deleteLink(const std::string& path) {
        ScopedKey link(registry());
        if (long rc = openW(link, path, kRegOptionOpenLink, kKeyQueryValue | kDeleteAccess)) return rc;
        return IsLinkKey(registry(), link.get()) ? registry().deleteOpenedKey(link.get()) : kErrorInvalidParameter;
    }
};

// A name the code page cannot carry reads back through the ANSI calls as '?' or as a look-alike,
// and an ANSI call by that form reaches the other value of that name, never this one.
TEST_F(RegistryWideConformance, NamesOutsideTheCodePageStayExactThroughTheWideCalls) {
    struct Row {
        std::u16string wide;
        std::string ansi;
        bool exact;
    };
    const Row rows[] = {{u"\u4E2D\u6587", "??", false},
                        {u"\uFF35\uFF50\uFF44\uFF41\uFF54\uFF45\uFF52", "Updater", false},
                        {u"Caf\u00E9", "Caf\xE9", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ansi);
        putW(key(), row.wide, kRegSz, Utf16LeData(u"wide"));
        if (!row.exact) putString(key(), row.ansi, "ansi");
        HKey made = 0;
        ASSERT_EQ(kErrorSuccess, registry().createKeyW(kHKeyCurrentUser, W(key()) + u"\\" + row.wide, 0,
                                                       kKeyAllAccess, made));
        registry().closeKey(made);

        ScopedKey scratch(registry());
        ASSERT_EQ(kErrorSuccess, openW(scratch, key(), 0, kKeyAllAccess));
        std::vector<std::u16string> names;
        EXPECT_EQ(kErrorSuccess, ValueNamesW(registry(), scratch.get(), names));
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), row.wide));
        EXPECT_EQ(kErrorSuccess, SubkeyNamesW(registry(), scratch.get(), names));
        EXPECT_EQ(std::vector<std::u16string>{row.wide}, names);
        std::string ansiKey;
        EXPECT_EQ(kErrorSuccess, registry().enumKey(scratch.get(), 0, 64, ansiKey));
        EXPECT_EQ(row.ansi, ansiKey);

        // Through the ANSI form: the literal value of that name, or this one when the form is exact.
        EXPECT_EQ(kErrorSuccess, registry().deleteValue(scratch.get(), row.ansi));
        RegistryData data;
        EXPECT_EQ(row.exact ? kErrorFileNotFound : kErrorSuccess,
                  ReadValueW(registry(), scratch.get(), row.wide, data));
        if (!row.exact) {
            EXPECT_EQ(Utf16LeData(u"wide"), data.bytes);
        }
        registry().deleteValueW(scratch.get(), row.wide);
        EXPECT_EQ(kErrorSuccess, registry().deleteKeyW(scratch.get(), row.wide));
        EXPECT_EQ(kErrorNoMoreItems, registry().enumValueW(scratch.get(), 0, 64, names.emplace_back()));
    }
}

TEST_F(RegistryWideConformance, DataComesBackExactlyAsStored) {
    std::vector<std::uint8_t> large(70000);
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i * 13);
    struct Row {
        const char16_t* name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    const Row rows[] = {
        {u"text", kRegSz, Utf16LeData(u"Caf\u00E9 \u4E2D")},
        {u"odd", kRegSz, {'a', 0, 'b'}},
        {u"multi", kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
        {u"large", kRegBinary, large},
        {u"none", kRegNone, {}},
        {u"qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& row : rows) putW(key(), row.name, row.type, row.data);
    ScopedKey scratch(registry());
    ASSERT_EQ(kErrorSuccess, openW(scratch, key()));
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name, row.name + std::char_traits<char16_t>::length(row.name)));
        RegistryData data;
        ASSERT_EQ(kErrorSuccess, ReadValueW(registry(), scratch.get(), row.name, data));
        EXPECT_EQ(row.type, data.type);
        EXPECT_EQ(row.data, data.bytes);
    }
    // The ANSI calls give string data in the code page.
    EXPECT_EQ((std::vector<std::uint8_t>{'C', 'a', 'f', 0xE9, ' ', '?', 0}), rawValue(key(), "text").data);
}

TEST_F(RegistryWideConformance, ALinkIsFollowedUnlessOpenedAsALink) {
    putString(key("Target"), "inside", "1");
    makeLink(key("Link"), "Target");
    ScopedKey followed(registry()), itself(registry()), target(registry());
    ASSERT_EQ(kErrorSuccess, openW(followed, key("Link")));
    std::uint32_t size = 0;
    EXPECT_EQ(kErrorSuccess, registry().queryValueW(followed.get(), u"inside", nullptr, nullptr, &size));
    EXPECT_FALSE(IsLinkKey(registry(), followed.get()));

    ASSERT_EQ(kErrorSuccess, openW(itself, key("Link"), kRegOptionOpenLink));
    EXPECT_TRUE(IsLinkKey(registry(), itself.get()));
    EXPECT_EQ(kErrorFileNotFound, registry().queryValueW(itself.get(), u"inside", nullptr, nullptr, &size));
    ASSERT_EQ(kErrorSuccess, openW(target, key("Target"), kRegOptionOpenLink));
    EXPECT_FALSE(IsLinkKey(registry(), target.get()));

    HKey again = 0;
    EXPECT_EQ(kErrorAlreadyExists,
              registry().createKeyW(kHKeyCurrentUser, W(key("Link")), kRegOptionCreateLink, kKeyAllAccess, again));
    itself.reset();
    followed.reset();
    // Deleting the link opened as itself deletes the link only.
    EXPECT_EQ(kErrorSuccess, deleteLink(key("Link")));
    EXPECT_EQ(kErrorFileNotFound, openW(itself, key("Link"), kRegOptionOpenLink));
    EXPECT_EQ(kErrorSuccess, rawValue(key("Target"), "inside").rc);
}

// A key is a link only when Windows made it one: a plain key holding a value named and typed as a
// link's target is an ordinary key. Each key tells its own full name, so a key reached through a
// link at any level of a path is told apart from the key of that path.
TEST_F(RegistryWideConformance, OnlyAKeyMadeAsALinkIsOneAndEachKeyKnowsItsOwnPlace) {
    putString(key("Target\\Run"), "inside", "1");
    makeLink(key("Link"), "Target");
    std::vector<std::uint8_t> lookAlike = Utf16LeData(env().userKeyNtPath() + u"\\" + W(key("Target")));
    lookAlike.resize(lookAlike.size() - 2);
    putW(key("LookAlike"), kSymbolicLinkValue, kRegLink, lookAlike);
    makeKey(key("LookAlike\\Child"));

    ScopedKey opened(registry());
    ASSERT_EQ(kErrorSuccess, openW(opened, key("LookAlike"), kRegOptionOpenLink));
    EXPECT_FALSE(IsLinkKey(registry(), opened.get()));
    ASSERT_EQ(kErrorSuccess, openW(opened, key("LookAlike\\Child")));
    ASSERT_EQ(kErrorSuccess, openW(opened, key("Link"), kRegOptionOpenLink));
    EXPECT_TRUE(IsLinkKey(registry(), opened.get()));

    std::u16string user, name;
    ASSERT_EQ(kErrorSuccess, registry().keyNameW(kHKeyCurrentUser, user));
    EXPECT_TRUE(SameNoCase(env().userKeyNtPath(), user));
    ASSERT_EQ(kErrorSuccess, openW(opened, key("Link\\Run")));
    ASSERT_EQ(kErrorSuccess, registry().keyNameW(opened.get(), name));
    EXPECT_TRUE(SameNoCase(user + u"\\" + W(key("Target\\Run")), name));

    struct Row {
        std::string path;
        ScopedKey::LinkAtEnd end;
        long expected;
    };
    const Row rows[] = {
        {key("Target\\Run"), ScopedKey::LinkAtEnd::Refused, kErrorSuccess},
        {key("Link\\Run"), ScopedKey::LinkAtEnd::Allowed, kErrorLinkOnPath},
        {key("Link"), ScopedKey::LinkAtEnd::Refused, kErrorLinkOnPath},
        {key("Link"), ScopedKey::LinkAtEnd::Allowed, kErrorSuccess},
        {key("LookAlike"), ScopedKey::LinkAtEnd::Refused, kErrorSuccess},
        {key("Link\\Missing"), ScopedKey::LinkAtEnd::Allowed, kErrorFileNotFound},
    };
    for (const auto& row : rows) {
        ScopedKey exact(registry());
        EXPECT_EQ(row.expected, exact.openExact(kHKeyCurrentUser, W(row.path), kKeyRead, row.end)) << row.path;
        EXPECT_EQ(row.expected == kErrorSuccess, static_cast<bool>(exact)) << row.path;
    }
    ScopedKey scratch(registry()), child(registry());
    ASSERT_EQ(kErrorSuccess, openW(scratch, key()));
    EXPECT_EQ(kErrorLinkOnPath, child.openChild(scratch.get(), u"Link", kKeyRead));
    EXPECT_EQ(kErrorSuccess, child.openChild(scratch.get(), u"LookAlike", kKeyRead));
    child.reset();
    opened.reset();
    EXPECT_EQ(kErrorSuccess, deleteLink(key("Link")));
}

// RegDeleteKeyW opens what it deletes as every open does: through a link, at its target.
TEST_F(RegistryWideConformance, DeletingALinkByNameDeletesItsTarget) {
    makeKey(key("Empty"));
    makeLink(key("Link"), "Empty");
    ScopedKey scratch(registry()), link(registry());
    ASSERT_EQ(kErrorSuccess, openW(scratch, key()));
    EXPECT_EQ(kErrorSuccess, registry().deleteKeyW(scratch.get(), u"Link"));
    EXPECT_EQ(kErrorFileNotFound, openW(link, key("Empty")));
    EXPECT_EQ(kErrorFileNotFound, openW(link, key("Link")));
    EXPECT_EQ(kErrorSuccess, openW(link, key("Link"), kRegOptionOpenLink));
    link.reset();
    EXPECT_EQ(kErrorSuccess, deleteLink(key("Link")));
}

TEST_F(RegistryWideConformance, FailuresGiveTheWindowsCodes) {
    makeKey(key("Parent\\Child"));
    putW(key(), u"v", kRegSz, Utf16LeData(u"x"));
    struct Row {
        const char* what;
        std::function<long(HKey scratch)> op;
        long expected;
    };
    std::u16string name;
    std::uint32_t size = 0;
    HKey opened = 0;
    const Row rows[] = {
        {"open a missing key", [&](HKey k) { return registry().openKeyW(k, u"Missing", 0, kKeyRead, opened); },
         kErrorFileNotFound},
        {"read a missing value", [&](HKey k) { return registry().queryValueW(k, u"missing", nullptr, nullptr, &size); },
         kErrorFileNotFound},
        {"delete a missing value", [&](HKey k) { return registry().deleteValueW(k, u"missing"); }, kErrorFileNotFound},
        {"delete a missing key", [&](HKey k) { return registry().deleteKeyW(k, u"Missing"); }, kErrorFileNotFound},
        {"delete a key with subkeys", [&](HKey k) { return registry().deleteKeyW(k, u"Parent"); }, kErrorAccessDenied},
        {"name buffer without room for the NUL", [&](HKey k) { return registry().enumKeyW(k, 0, 6, name); },
         kErrorMoreData},
        {"name buffer with room", [&](HKey k) { return registry().enumKeyW(k, 0, 7, name); }, kErrorSuccess},
        {"past the last subkey", [&](HKey k) { return registry().enumKeyW(k, 1, 64, name); }, kErrorNoMoreItems},
        {"past the last value", [&](HKey k) { return registry().enumValueW(k, 1, 64, name); }, kErrorNoMoreItems},
    };
    ScopedKey scratch(registry());
    ASSERT_EQ(kErrorSuccess, openW(scratch, key(), 0, kKeyAllAccess));
    for (const auto& row : rows) EXPECT_EQ(row.expected, row.op(scratch.get())) << row.what;

    // A handle deletes its own key only with DELETE access, and only a key without subkeys.
    ScopedKey parent(registry());
    ASSERT_EQ(kErrorSuccess, openW(parent, key("Parent"), 0, kKeyRead | kDeleteAccess));
    EXPECT_EQ(kErrorAccessDenied, registry().deleteOpenedKey(parent.get()));
    ScopedKey child(registry());
    ASSERT_EQ(kErrorSuccess, openW(child, key("Parent\\Child"), 0, kKeyRead));
    EXPECT_EQ(kErrorAccessDenied, registry().deleteOpenedKey(child.get()));
    ASSERT_EQ(kErrorSuccess, openW(child, key("Parent\\Child"), 0, kDeleteAccess));
    EXPECT_EQ(kErrorSuccess, registry().deleteOpenedKey(child.get()));
    EXPECT_EQ(kErrorFileNotFound, openW(parent, key("Parent\\Child")));
}

// A key's access list written through WRITE_DAC reads back as written through READ_CONTROL; a
// handle without those rights may do neither.
TEST_F(RegistryWideConformance, AnAccessListReadsBackAsWritten) {
    // Everyone may do anything with the key and the keys below it.
    const std::vector<std::uint8_t> everyone = {1, 0, 4, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 0, 0,
                                                2, 0, 28, 0, 1, 0, 0, 0, 0, 2, 20, 0, 0x3F, 0, 0x0F, 0,
                                                1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    makeKey(key("Opened"));
    ScopedKey opened(registry());
    ASSERT_EQ(kErrorSuccess, openW(opened, key("Opened"), 0, kWriteDacAccess | kReadControlAccess));
    std::vector<std::uint8_t> before;
    ASSERT_EQ(kErrorSuccess, registry().getKeySecurity(opened.get(), before));
    EXPECT_NE(before, everyone);
    ASSERT_EQ(kErrorSuccess, registry().setKeySecurity(opened.get(), everyone));
    std::vector<std::uint8_t> after;
    ASSERT_EQ(kErrorSuccess, registry().getKeySecurity(opened.get(), after));
    EXPECT_EQ(after, everyone);

    ScopedKey readOnly(registry());
    ASSERT_EQ(kErrorSuccess, openW(readOnly, key("Opened"), 0, kKeyQueryValue));
    EXPECT_EQ(kErrorAccessDenied, registry().getKeySecurity(readOnly.get(), after));
    EXPECT_EQ(kErrorAccessDenied, registry().setKeySecurity(readOnly.get(), everyone));
}

// Key names of up to 255 characters make paths longer than some calls take in one piece.
TEST_F(RegistryWideConformance, ALongPathOpensAndItsLastKeyMayBeALink) {
    const std::string longName(250, 'n');
    const std::string path = key(longName + "\\" + longName);
    putW(path, u"v", kRegSz, Utf16LeData(u"x"));
    makeLink(path + "\\Link", longName);
    ScopedKey opened(registry());
    EXPECT_EQ(kErrorSuccess, openW(opened, path));
    EXPECT_EQ(kErrorSuccess, openW(opened, path + "\\Link", kRegOptionOpenLink));
    EXPECT_TRUE(IsLinkKey(registry(), opened.get()));
    opened.reset();
    EXPECT_EQ(kErrorSuccess, deleteLink(path + "\\Link"));
}

}  // namespace
}  // namespace keltora::conformance
