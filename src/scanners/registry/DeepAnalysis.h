#pragma once
// The deep registry analysis: walks HKLM\SOFTWARE four key levels down and HKCU\SOFTWARE five,
// reads every value it meets and reports each one whose data names a file or folder on the
// system drive that does not exist, as the program that wrote the value would look for it (data
// below WOW6432Node as a 32-bit program). Removal deletes the value, or empties the key's
// unnamed one.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "scan/Category.h"
#include "scanners/registry/RegistryRemoval.h"
#include "scanners/registry/RegistryViews.h"

namespace keltora {

class DeepAnalysis : public Category {
public:
    DeepAnalysis(const CategoryInfo& info, ScanContext& context, IgnoreList* ignore);
    void scan() override;    // DeepExecute
    void remove() override;  // removedaExecute

    // The one-line text that shows the key being read while the analysis runs. The window hands
    // in its own `labeldeep`; until then the analysis keeps a label of its own.
    void setKeyLabel(Label& label) { keyLabel_ = &label; }
    Label& keyLabel() { return *keyLabel_; }

    // What a value's data names at key level `level` below SOFTWARE of root, by the level's tests:
    // the text the level tests (the data less the level's own removals) and the candidate path;
    // nullopt when the data does not qualify there. The prefix is the system drive root.
    struct Candidate {
        std::string tested;
        std::string path;
    };
    static std::optional<Candidate> CandidateOf(int level, HKey root, const std::string& data,
                                                const std::string& prefix);
    static std::optional<std::string> CandidatePath(int level, HKey root, const std::string& data,
                                                    const std::string& prefix);
    // Whether the values of a key at `level` are never reported, below a key of that name.
    static bool Exempt(int level, HKey root, std::u16string_view parentName);
    // The tested text read as a command line: every double quote removed, cut at the first ',' or
    // ';' and at the first character no Windows path holds.
    static std::string CommandLinePath(const std::string& tested);
    // Whether a candidate is reported: the system says its path is not there, and the command
    // line names nothing that is: neither itself (file or folder) nor a part of it that ends just
    // before a blank (file). Each path is looked for as the program that wrote the value would
    // find it.
    static bool Reported(FileSystem& files, const Candidate& candidate, const FileView& seenAs = {});

    // The path a value reports as missing, from the texts its data names (PathTexts): the first
    // one's candidate, when every text qualifies at that level and is reported; else nullopt.
    static std::optional<std::string> MissingPath(int level, HKey root, const std::vector<std::string>& texts,
                                                  const std::string& prefix, FileSystem& files,
                                                  const FileView& seenAs = {});

    // "Detail Info" of the key's unnamed value.
    static constexpr const char* kDefaultName = "(Default)";

private:
    RemovalOutcome removeOne(RegistryRemoval& room, const Finding& finding);
    bool stillMissing(HKey key, int level, HKey root, const std::u16string& name, const std::string& path,
                      RegistryView view);

    Label ownLabel_{"labeldeep"};
    Label* keyLabel_ = &ownLabel_;
};

}  // namespace keltora
