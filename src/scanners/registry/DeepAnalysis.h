#pragma once
// The deep registry analysis: walks HKLM\SOFTWARE four key levels down and HKCU\SOFTWARE five,
// reads every value it meets and reports each one whose data names a file or folder on the
// system drive that does not exist. Removal deletes the value, or empties the key's unnamed one.
#include <optional>
#include <string>

#include "scan/Category.h"
#include "scanners/registry/RegistryRemoval.h"

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

    // The path a value's data D names at key level `level` below SOFTWARE of root, by the level's
    // tests; nullopt when the data does not qualify there. The prefix is the system drive root.
    static std::optional<std::string> CandidatePath(int level, HKey root, const std::string& data,
                                                    const std::string& prefix);

    // "Detail Info" of the key's unnamed value.
    static constexpr const char* kDefaultName = "(Default)";

private:
    RemovalOutcome removeOne(RegistryRemoval& room, const Finding& finding);

    Label ownLabel_{"labeldeep"};
    Label* keyLabel_ = &ownLabel_;
};

}  // namespace keltora
