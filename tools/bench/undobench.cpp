// undobench.exe: the uninstall removal of 1,000 findings of 20 values each on the real registry,
// with and without the undo journal, side by side in one process: once without pauses (the work
// alone) and once at the window's own pace (its progress ramps at their real pauses, as the user
// meets them); then the undo of the journal the journaled removal wrote. The journal's cost is
// measured against a floor in the same run: a bare loop that reads the same values with
// RegEnumValueW and writes them to a file with one flush (the least any journal of them costs).
// Target: the journaled removal takes at most the removal without it plus 1.3 times the floor.
// Each round seeds the keys afresh (the undo seeds them for the next round), the best of ROUNDS
// counts. Prints the times, the flushes and the ratios.
//   undobench.exe [ROUNDS]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/Unit1.h"
#include "platform/Database.h"
#include "cli/Cli.h"
#include "maintenance/UndoJournal.h"
#include "maintenance/UndoRepairs.h"
#include "platform/RegistryWide.h"
#include "platform/win32/Win32Platform.h"

namespace {

using namespace keltora;

constexpr int kKeys = 1000;
constexpr int kValues = 20;
constexpr char16_t kUninstall[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::u16string KeyName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "KeltBench%04d", i);
    return Utf8ToUtf16(name);
}

// 1,000 subkeys with none of the registration values: strings, numbers and bytes.
void Seed(RegistryApi& api) {
    ScopedKey uninstall(api);
    uninstall.open(kHKeyLocalMachine, kUninstall, 0, kKeyAllAccess);
    for (int i = 0; i < kKeys; ++i) {
        HKey key = 0;
        api.createKeyW(uninstall.get(), KeyName(i), 0, kKeyAllAccess, key);
        for (int v = 0; v < kValues; ++v) {
            const std::u16string name = Utf8ToUtf16("Value" + std::to_string(v));
            if (v % 3 == 0) {
                const auto data = Utf16LeData(Utf8ToUtf16("C:\\Program Files\\Bench " + std::to_string(i * 100 + v)));
                api.setValueW(key, name, kRegSz, data.data(), static_cast<std::uint32_t>(data.size()));
            } else if (v % 3 == 1) {
                const std::uint32_t number = static_cast<std::uint32_t>(i * 100 + v);
                api.setValueW(key, name, kRegDword, reinterpret_cast<const std::uint8_t*>(&number), 4);
            } else {
                std::uint8_t bytes[24];
                for (std::size_t b = 0; b < sizeof bytes; ++b) bytes[b] = static_cast<std::uint8_t>(i + v + b);
                api.setValueW(key, name, kRegBinary, bytes, sizeof bytes);
            }
        }
        api.closeKey(key);
    }
}

double MillisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The real file system, with the time its journal files spend flushing added up: the share of
// the journal's cost that is the disk's, and how many flushes it took.
double gFlushMs = 0, gFileMs = 0;
int gFlushes = 0;

class TimedFile : public OpenedFile {
public:
    explicit TimedFile(std::unique_ptr<OpenedFile> inner) : inner_(std::move(inner)) {}
    bool writeAt(std::uint64_t offset, const std::string& bytes) override {
        bool done = false;
        gFileMs += MillisecondsOf([&] { done = inner_->writeAt(offset, bytes); });
        return done;
    }
    std::optional<std::string> readAt(std::uint64_t offset, std::size_t size) override {
        std::optional<std::string> read;
        gFileMs += MillisecondsOf([&] { read = inner_->readAt(offset, size); });
        return read;
    }
    bool truncate(std::uint64_t size) override { return inner_->truncate(size); }
    std::optional<std::uint64_t> size() override { return inner_->size(); }
    bool flush() override {
        bool done = false;
        gFlushMs += MillisecondsOf([&] { done = inner_->flush(); });
        ++gFlushes;
        return done;
    }

private:
    std::unique_ptr<OpenedFile> inner_;
};

class TimedFiles : public FileSystem {
public:
    explicit TimedFiles(FileSystem& inner) : inner_(inner) {}
    std::vector<FoundFile> find(const std::string& pattern) override { return inner_.find(pattern); }
    std::vector<FoundFile> findWide(const std::u16string& pattern) override { return inner_.findWide(pattern); }
    std::optional<FolderListing> listFolder(const std::u16string& folder, const FileIdentity& listedAs) override {
        return inner_.listFolder(folder, listedAs);
    }
    FileActOutcome act(const FileAct& act) override { return inner_.act(act); }
    std::u16string temporaryFolder() override { return inner_.temporaryFolder(); }
    std::optional<std::u16string> environmentVariable(const std::u16string& name) override {
        return inner_.environmentVariable(name);
    }
    PathPresence probe(const std::string& path, std::uint32_t* attributes = nullptr) override {
        return inner_.probe(path, attributes);
    }
    bool createNewFile(const std::string& path) override { return inner_.createNewFile(path); }
    std::optional<std::uint32_t> attributes(const std::string& path) override { return inner_.attributes(path); }
    bool deleteFile(const std::string& path) override { return inner_.deleteFile(path); }
    bool moveFile(const std::string& from, const std::string& to) override { return inner_.moveFile(from, to); }
    bool createDirectory(const std::string& path) override { return inner_.createDirectory(path); }
    std::string fullPath(const std::string& path) override { return inner_.fullPath(path); }
    std::optional<std::string> readFile(const std::string& path) override { return inner_.readFile(path); }
    bool writeFile(const std::string& path, const std::string& content) override {
        return inner_.writeFile(path, content);
    }
    bool appendFile(const std::string& path, const std::string& content) override {
        return inner_.appendFile(path, content);
    }
    std::unique_ptr<OpenedFile> createNew(const std::string& path) override {
        auto file = inner_.createNew(path);
        return file ? std::make_unique<TimedFile>(std::move(file)) : nullptr;
    }
    std::unique_ptr<OpenedFile> openForUpdate(const std::string& path, bool create, FileActOutcome* why) override {
        return inner_.openForUpdate(path, create, why);
    }
    std::unique_ptr<OpenedFile> openExact(const std::u16string& path, bool write, bool create) override {
        return inner_.openExact(path, write, create);
    }
    OpenedDatabase openDatabase(const std::u16string& path, DatabaseAccess access) override {
        return inner_.openDatabase(path, access);
    }

private:
    FileSystem& inner_;
};

// The undo journal with the time of its two parts added up: reading what each change takes away
// (record), and writing, flushing and checking each group (write).
double gRecordMs = 0, gWriteMs = 0;

class TimedJournal : public RegistryJournal {
public:
    explicit TimedJournal(RegistryJournal& inner) : inner_(inner) {}
    JournalEntryNumber record(const RegistryChange& change, std::string& reason) override {
        JournalEntryNumber entry = 0;
        gRecordMs += MillisecondsOf([&] { entry = inner_.record(change, reason); });
        return entry;
    }
    JournalEntryNumber recordMove(const std::string& from, const std::string& to, const FileIdentity& moved,
                                  std::string& reason) override {
        return inner_.recordMove(from, to, moved, reason);
    }
    bool write(std::string& reason) override {
        bool kept = false;
        gWriteMs += MillisecondsOf([&] { kept = inner_.write(reason); });
        return kept;
    }
    void notMade(const std::vector<JournalEntryNumber>& entries) override { inner_.notMade(entries); }

private:
    RegistryJournal& inner_;
};

// The uninstall scan, with only the bench's own findings left checked; their number.
int ScanBenchFindings(Category& ue) {
    ue.scan();
    int checked = 0;
    for (std::size_t row = 0; row < ue.list().size(); ++row) {
        const bool ours = ue.list().at(row).caption.rfind("KeltBench", 0) == 0;
        ue.list().setChecked(row, ours);
        checked += ours;
    }
    return checked;
}

// The floor: every value of the bench's keys read with RegEnumValueW (name, type, data) and
// written to one file with one flush; its time in milliseconds.
double Floor(const std::wstring& file) {
    return MillisecondsOf([&] {
        std::string kept;
        HKEY uninstall = nullptr;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, reinterpret_cast<const wchar_t*>(kUninstall), 0, KEY_READ, &uninstall);
        for (int i = 0; i < kKeys; ++i) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(uninstall, reinterpret_cast<const wchar_t*>(KeyName(i).c_str()), 0, KEY_READ, &key))
                continue;
            for (DWORD index = 0;; ++index) {
                wchar_t name[256];
                BYTE data[512];
                DWORD nameLength = 256, size = sizeof data, type = 0;
                if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
                kept.append(reinterpret_cast<const char*>(name), nameLength * sizeof(wchar_t));
                kept.append(reinterpret_cast<const char*>(&type), sizeof type);
                kept.append(reinterpret_cast<const char*>(data), size);
            }
            RegCloseKey(key);
        }
        RegCloseKey(uninstall);
        HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(out, kept.data(), static_cast<DWORD>(kept.size()), &written, nullptr);
        FlushFileBuffers(out);
        CloseHandle(out);
        DeleteFileW(file.c_str());
    });
}

// The best of the rounds at one pace.
struct Figures {
    double floor = 1e300, bare = 1e300, journaled = 1e300, flushMs = 0, fileMs = 0, recordMs = 0, writeMs = 0,
           undone = 1e300;
    int flushes = 0;
};

class Bench {
public:
    Bench(Platform& platform, TForm1& form)
        : platform_(platform), form_(form), ue_(form.category("ue")), journal_(form.undoJournal()) {}

    // The removal without the journal, the same with it, and the undo of its journal, which seeds
    // the keys again for the next round. Only the removals run at the pace; the scans never pause.
    bool round(double pace, Figures& f) {
        if (ScanBenchFindings(ue_) != kKeys) return fail("the seeded keys were not found");
        platform_.files.createDirectories(form_.paths.undo());
        const std::u16string file = Utf8ToUtf16(form_.paths.undo() + "\\floor.bin");
        f.floor = std::min(f.floor, Floor(std::wstring(file.begin(), file.end())));
        form_.context().journal = nullptr;
        f.bare = std::min(f.bare, removal(pace));
        form_.context().journal = &journal_;
        Seed(platform_.registry);
        ScanBenchFindings(ue_);
        gFlushMs = gFileMs = gRecordMs = gWriteMs = 0;
        gFlushes = 0;
        const double ms = removal(pace, "undobench");
        if (ms < f.journaled) {
            f.journaled = ms, f.flushMs = gFlushMs, f.flushes = gFlushes;
            f.recordMs = gRecordMs, f.writeMs = gWriteMs, f.fileMs = gFileMs;
        }
        const std::string name = form_.undoJournal().outcome().name;
        if (form_.undoJournal().outcome().changes != kKeys || ue_.list().size() != 0)
            return fail("the journaled removal left findings");
        UndoOutcome outcome;
        f.undone = std::min(f.undone, MillisecondsOf([&] { outcome = UndoJournalFile(platform_, form_.paths, name); }));
        platform_.files.deleteFile(form_.paths.undo() + "\\" + name);
        return outcome.complete() || fail(UndoSummary(name, outcome));
    }

    // The bench's keys removed for good.
    void clear() {
        ScanBenchFindings(ue_);
        form_.context().journal = nullptr;
        ue_.remove();
    }

private:
    double removal(double pace, const char* command = nullptr) {
        form_.pacer().setFactor(pace);
        const double ms = MillisecondsOf([&] {
            std::optional<JournalCommand> journaled;
            if (command != nullptr) journaled.emplace(form_.undoJournal(), command);
            ue_.remove();
        });
        form_.pacer().setFactor(0);
        return ms;
    }
    static bool fail(const std::string& why) {
        std::fprintf(stderr, "undobench: %s\n", why.c_str());
        return false;
    }

    Platform& platform_;
    TForm1& form_;
    Category& ue_;
    TimedJournal journal_;
};

// The journal's cost (with it, less without it) against the floor: the target is at most 1.3.
void Print(const char* what, const Figures& f) {
    std::printf("%s: without the journal %.0f ms, with it %.0f ms, floor %.0f ms: (with - without) / floor %.3f\n"
                "    the journal's reading %.0f ms, its writing %.0f ms (%d flushes %.0f ms, writes and reads %.0f ms)\n",
                what, f.bare, f.journaled, f.floor, (f.journaled - f.bare) / f.floor, f.recordMs, f.writeMs,
                f.flushes, f.flushMs, f.fileMs);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    Platform& real = win32Platform();
    TimedFiles files(real.files);
    Platform platform{real.registry, files, real.shell, real.clipboard, real.clock, real.codePage, real.account,
                      real.commandLock};
    ConsoleHost host(std::cerr, "");
    TForm1 form(platform, host, 0.0);
    form.FormCreate();
    Bench bench(platform, form);
    Figures work, paced;
    Seed(platform.registry);
    for (int round = 0; round < rounds; ++round)
        if (!bench.round(0.0, work) || !bench.round(1.0, paced)) return 1;
    bench.clear();
    std::printf("removal of %d uninstall findings of %d values, best of %d rounds\n", kKeys, kValues, rounds);
    Print("the work alone (no pauses)     ", work);
    Print("at the window's pace (--pace 1)", paced);
    std::printf("undo of the journal: %.0f ms, %.3f times the journaled removal's work\n", work.undone,
                work.undone / work.journaled);
    std::printf("target: with the journal at most without it plus 1.3 times the floor\n");
    return 0;
}
