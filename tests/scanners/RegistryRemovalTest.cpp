// The one room every registry change of a removal goes through: links, outcomes, the dry run and
// the journal's seam, on the memory registry.
#include <gtest/gtest.h>

#include "platform/Registry2.h"
#include "platform/RegistryWide.h"
#include "scanners/registry/RegistryRemoval.h"
#include "support/World.h"

namespace keltora::testing {
namespace {

constexpr HKey HKCU = kHKeyCurrentUser;
constexpr HKey HKLM = kHKeyLocalMachine;

// Records what it is asked and refuses when told to; checks that the registry still holds what
// the change will take away when it is asked.
class RecordingJournal : public RegistryJournal {
public:
    explicit RecordingJournal(MemoryRegistry& registry) : registry_(registry) {}
    JournalEntryNumber record(const RegistryChange& change, std::string& reason) override {
        changes.push_back(change);
        stillThere.push_back(registry_.existsExact(change.root, change.keyPath));
        if (refuse) reason = "The undo journal cannot be written.";
        return refuse ? 0 : changes.size();
    }
    JournalEntryNumber recordMove(const std::string&, const std::string&, const FileIdentity&, std::string&) override {
        return !refuse;
    }
    bool write(std::string&) override { return true; }
    void notMade(const std::vector<JournalEntryNumber>& entries) override {
        notMadeEntries.insert(notMadeEntries.end(), entries.begin(), entries.end());
    }
    std::vector<RegistryChange> changes;
    std::vector<bool> stillThere;
    std::vector<JournalEntryNumber> notMadeEntries;
    bool refuse = false;

private:
    MemoryRegistry& registry_;
};

struct Room {
    World world;
    TForm1& form = world.start();
    MemoryRegistry& registry = world.machine.registry;
    RegistryRemoval& room() { return *room_; }
    // A new room: the one before it is done, as at the end of a command.
    void renew() { room_ = std::make_unique<RegistryRemoval>(form.context()); }

private:
    std::unique_ptr<RegistryRemoval> room_ = std::make_unique<RegistryRemoval>(form.context());
};

TEST(RegistryRemoval, ASubtreeGoesWithoutEverFollowingALink) {
    Room r;
    r.registry.setString(HKCU, "Software\\Target", "keep", "1");
    r.registry.addKey(HKCU, "Software\\Target\\Child");
    r.registry.setString(HKCU, "Software\\Finding\\Inner", "v", "x");
    r.registry.addLink(HKCU, u"Software\\Finding\\Inner\\ToTarget", HKCU, u"Software\\Target");
    r.registry.addLink(HKCU, u"Software\\LinkFinding", HKCU, u"Software\\Target");
    // An ordinary key that merely holds a value named and typed as a link's target goes whole.
    r.registry.setRawExact(HKCU, u"Software\\Finding\\LookAlike", kSymbolicLinkValue, kRegLink,
                           {'\\', 0, 'R', 0, 'e', 0, 'g', 0});
    r.registry.addKey(HKCU, "Software\\Finding\\LookAlike\\Child");

    EXPECT_EQ(RemovalOutcome::Removed, r.room().deleteKeyTree(HKCU, u"Software\\Finding"));
    EXPECT_EQ(RemovalOutcome::Removed, r.room().deleteKeyTree(HKCU, u"Software\\LinkFinding"));
    EXPECT_FALSE(r.registry.exists(HKCU, "Software\\Finding"));
    EXPECT_FALSE(r.registry.exists(HKCU, "Software\\LinkFinding"));
    EXPECT_EQ("1", r.registry.stringValue(HKCU, "Software\\Target", "keep"));
    EXPECT_TRUE(r.registry.exists(HKCU, "Software\\Target\\Child"));
    EXPECT_EQ(0u, r.registry.openHandles());
}

// Gone only on "not found"; access denied, a refusal or a bad path leave the item where it is.
TEST(RegistryRemoval, OutcomesSayWhatBecameOfTheItem) {
    struct Row {
        const char* what;
        std::function<void(MemoryRegistry&)> setup;
        std::function<RemovalOutcome(RegistryRemoval&)> act;
        RemovalOutcome expected;
        const char* stays;  // a key that must still be there afterwards, if any
    };
    const Row rows[] = {
        {"a subtree", [](MemoryRegistry& m) { m.addKey(HKCU, "Software\\K\\A\\B"); },
         [](RegistryRemoval& room) { return room.deleteKeyTree(HKCU, u"Software\\K"); }, RemovalOutcome::Removed, ""},
        {"a missing key", [](MemoryRegistry&) {},
         [](RegistryRemoval& room) { return room.deleteKeyTree(HKCU, u"Software\\K"); }, RemovalOutcome::Gone, ""},
        {"a key below a missing one", [](MemoryRegistry&) {},
         [](RegistryRemoval& room) { return room.deleteValue(HKCU, u"Software\\K\\L", u"v"); }, RemovalOutcome::Gone, ""},
        {"a key that may not be opened",
         [](MemoryRegistry& m) { m.deny(HKCU, "Software\\K"); },
         [](RegistryRemoval& room) { return room.deleteKeyTree(HKCU, u"Software\\K"); }, RemovalOutcome::Left,
         "Software\\K"},
        {"a subkey that may not be deleted: nothing of the tree goes",
         [](MemoryRegistry& m) {
             m.addKey(HKCU, "Software\\K\\B\\Deeper");
             m.deny(HKCU, "Software\\K\\A", kDeleteAccess);
         },
         [](RegistryRemoval& room) { return room.deleteKeyTree(HKCU, u"Software\\K"); }, RemovalOutcome::Left,
         "Software\\K\\B\\Deeper"},
        {"a deep subkey that may not be listed: nothing of the tree goes",
         [](MemoryRegistry& m) {
             m.addKey(HKCU, "Software\\K\\A");
             m.deny(HKCU, "Software\\K\\Z\\Deeper", kKeyEnumerateSubKeys);
         },
         [](RegistryRemoval& room) { return room.deleteKeyTree(HKCU, u"Software\\K"); }, RemovalOutcome::Left,
         "Software\\K\\A"},
        {"a key whose path passes a link",
         [](MemoryRegistry& m) {
             m.setString(HKLM, "SOFTWARE\\Elsewhere\\K", "v", "x");
             m.addLink(HKCU, u"Software\\Linked", HKLM, u"SOFTWARE\\Elsewhere");
         },
         [](RegistryRemoval& room) { return room.deleteValue(HKCU, u"Software\\Linked\\K", u"v"); },
         RemovalOutcome::Left, ""},
        {"the root itself", [](MemoryRegistry& m) { m.addKey(HKCU, "Software"); },
         [](RegistryRemoval& room) { return room.deleteKeyTree(HKCU, u""); }, RemovalOutcome::Left, "Software"},
        {"a path with an empty name", [](MemoryRegistry& m) { m.addKey(HKCU, "Software\\K"); },
         [](RegistryRemoval& room) { return room.deleteKeyTree(HKCU, u"Software\\\\K"); }, RemovalOutcome::Left,
         "Software\\K"},
        {"a value", [](MemoryRegistry& m) { m.setString(HKCU, "Software\\K", "v", "x"); },
         [](RegistryRemoval& room) { return room.deleteValue(HKCU, u"Software\\K", u"v"); }, RemovalOutcome::Removed,
         "Software\\K"},
        {"a missing value", [](MemoryRegistry& m) { m.addKey(HKCU, "Software\\K"); },
         [](RegistryRemoval& room) { return room.deleteValue(HKCU, u"Software\\K", u"v"); }, RemovalOutcome::Gone,
         "Software\\K"},
        {"a value of a read-only key",
         [](MemoryRegistry& m) {
             m.setString(HKCU, "Software\\K", "v", "x");
             m.deny(HKCU, "Software\\K", kKeySetValue);
         },
         [](RegistryRemoval& room) { return room.deleteValue(HKCU, u"Software\\K", u"v"); }, RemovalOutcome::Left,
         "Software\\K"},
        {"an unnamed value emptied", [](MemoryRegistry& m) { m.setString(HKCU, "Software\\K", "", "C:\\x"); },
         [](RegistryRemoval& room) { return room.emptyDefaultValue(HKCU, u"Software\\K"); }, RemovalOutcome::Removed,
         "Software\\K"},
        {"a missing unnamed value", [](MemoryRegistry& m) { m.addKey(HKCU, "Software\\K"); },
         [](RegistryRemoval& room) { return room.emptyDefaultValue(HKCU, u"Software\\K"); }, RemovalOutcome::Gone,
         "Software\\K"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Room r;
        row.setup(r.registry);
        EXPECT_EQ(row.expected, row.act(r.room()));
        if (*row.stays) {
            EXPECT_TRUE(r.registry.exists(HKCU, row.stays));
        }
        EXPECT_EQ(0u, r.registry.openHandles());
    }
    Room r;
    r.registry.setString(HKCU, "Software\\K", "", "C:\\x");
    r.room().emptyDefaultValue(HKCU, u"Software\\K");
    EXPECT_EQ((std::vector<std::uint8_t>{0, 0}), r.registry.valueExact(HKCU, u"Software\\K", u"")->data);
}

TEST(RegistryRemoval, ADryRunDecidesEverythingAndChangesNothing) {
    Room r;
    r.form.context().dryRun = true;
    RecordingJournal journal(r.registry);
    r.form.context().journal = &journal;
    r.registry.setString(HKCU, "Software\\K\\A", "v", "x");
    r.registry.setString(HKCU, "Software\\K", "", "C:\\x");
    r.registry.setString(HKCU, "Software\\Ro", "v", "x");
    r.registry.deny(HKCU, "Software\\Ro", kKeySetValue | kDeleteAccess);
    EXPECT_EQ(RemovalOutcome::Removed, r.room().deleteKeyTree(HKCU, u"Software\\K"));
    EXPECT_EQ(RemovalOutcome::Removed, r.room().deleteValue(HKCU, u"Software\\K\\A", u"v"));
    EXPECT_EQ(RemovalOutcome::Removed, r.room().emptyDefaultValue(HKCU, u"Software\\K"));
    EXPECT_EQ(RemovalOutcome::Left, r.room().deleteKeyTree(HKCU, u"Software\\Ro"));
    // A tree of which one key may not be deleted would be left whole: the dry run says so too.
    r.registry.addKey(HKCU, "Software\\Tree\\Denied");
    r.registry.deny(HKCU, "Software\\Tree\\Denied", kDeleteAccess);
    EXPECT_EQ(RemovalOutcome::Left, r.room().deleteKeyTree(HKCU, u"Software\\Tree"));
    EXPECT_EQ(RemovalOutcome::Left, r.room().deleteValue(HKCU, u"Software\\Ro", u"v"));
    EXPECT_EQ(RemovalOutcome::Gone, r.room().deleteValue(HKCU, u"Software\\K", u"missing"));
    EXPECT_EQ("x", r.registry.stringValue(HKCU, "Software\\K\\A", "v"));
    EXPECT_EQ("C:\\x", r.registry.stringValue(HKCU, "Software\\K", ""));
    EXPECT_TRUE(journal.changes.empty());
}

TEST(RegistryRemoval, TheJournalSeesEachChangeFirstAndMayRefuseIt) {
    Room r;
    RecordingJournal journal(r.registry);
    r.form.context().journal = &journal;
    r.registry.setStringExact(HKCU, u"Software\\\u4E2D", u"\uFF35pdater", u"x");
    r.registry.setString(HKCU, "Software\\Tree\\Sub", "", "C:\\x");
    EXPECT_EQ(RemovalOutcome::Removed, r.room().deleteValue(HKCU, u"Software\\\u4E2D", u"\uFF35pdater"));
    EXPECT_EQ(RemovalOutcome::Removed, r.room().emptyDefaultValue(HKCU, u"Software\\Tree\\Sub"));
    EXPECT_EQ(RemovalOutcome::Removed, r.room().deleteKeyTree(HKCU, u"Software\\Tree"));
    EXPECT_EQ(RemovalOutcome::Gone, r.room().deleteKeyTree(HKCU, u"Software\\Tree"));  // not asked again
    using Kind = RegistryChange::Kind;
    EXPECT_EQ((std::vector<RegistryChange>{{Kind::DeleteValue, HKCU, u"Software\\\u4E2D", u"\uFF35pdater"},
                                           {Kind::EmptyDefaultValue, HKCU, u"Software\\Tree\\Sub", u""},
                                           {Kind::DeleteKeyTree, HKCU, u"Software\\Tree", u""}}),
              journal.changes);
    EXPECT_EQ((std::vector<bool>{true, true, true}), journal.stillThere);

    // Refused: nothing changes, the item stays, and the user is told once for the command.
    journal.refuse = true;
    r.registry.setString(HKCU, "Software\\Kept", "v", "x");
    EXPECT_EQ(RemovalOutcome::Left, r.room().deleteKeyTree(HKCU, u"Software\\Kept"));
    EXPECT_EQ(RemovalOutcome::Left, r.room().deleteValue(HKCU, u"Software\\Kept", u"v"));
    EXPECT_TRUE(r.world.host.messages.empty());
    r.renew();
    EXPECT_EQ(std::vector<std::string>{"The undo journal cannot be written."}, r.world.host.messages);
    EXPECT_EQ("x", r.registry.stringValue(HKCU, "Software\\Kept", "v"));
}

// Another program deletes the key while the journal keeps it, and may make a new one of that name.
struct AnotherProgram : RegistryJournal {
    MemoryRegistry& registry;
    bool remake;
    AnotherProgram(MemoryRegistry& m, bool again) : registry(m), remake(again) {}
    JournalEntryNumber record(const RegistryChange&, std::string&) override {
        registry.removeKey(HKCU, "Software\\K");
        if (remake) registry.setString(HKCU, "Software\\K", "v", "new");
        return 1;
    }
    JournalEntryNumber recordMove(const std::string&, const std::string&, const FileIdentity&, std::string&) override {
        return 1;
    }
    bool write(std::string&) override { return true; }
    void notMade(const std::vector<JournalEntryNumber>&) override {}
};

TEST(RegistryRemoval, AFailedWriteOfTheUnnamedValueRaisesAsTheSettingsWriteDoes) {
    Room r;
    r.registry.setString(HKCU, "Software\\K", "", "C:\\x");
    AnotherProgram vanishing(r.registry, false);
    r.form.context().journal = &vanishing;
    EXPECT_THROW(r.room().emptyDefaultValue(HKCU, u"Software\\K"), ERegistryException);
}

// What goes is the key the journal read: a key made in its place meanwhile, which no journal
// kept, stays.
TEST(RegistryRemoval, AKeyMadeAgainWhileTheJournalKeepsTheOldOneStays) {
    Room r;
    r.registry.setString(HKCU, "Software\\K\\A", "v", "old");
    AnotherProgram remaking(r.registry, true);
    r.form.context().journal = &remaking;
    EXPECT_EQ(RemovalOutcome::Left, r.room().deleteKeyTree(HKCU, u"Software\\K"));
    EXPECT_EQ("new", r.registry.stringValue(HKCU, "Software\\K", "v"));
    EXPECT_EQ(0u, r.registry.openHandles());
}

}  // namespace
}  // namespace keltora::testing
