#pragma once
// The registry optimizer: walks HKCU and HKLM SOFTWARE\Microsoft\Windows four levels deep and
// shows every key and value name it passes. It reads names only and changes nothing.
#include <string>
#include <vector>

#include "platform/RegistryApi.h"
#include "scan/Controls.h"
#include "scan/Host.h"

namespace keltora {

struct OptimizerView {
    ProgressBar& PBHive;
    ProgressBar& PBNodes;
    Label& Hivetext;
    Label& labelnode;
    Label& labelvalues;
    Label& labeldeep;
};

class RegistryOptimizer {
public:
    RegistryOptimizer(RegistryApi& registry, Host& host, OptimizerView view)
        : registry_(registry), host_(host), view_(view) {}

    void optimizeExecute();

    static constexpr const char* kComplete = "Optimize Complete: Two Hives Completed";

private:
    void walk(HKey root, const std::string& prefix, bool fullDepth);
    void walkLevel(HKey root, const std::string& prefix, const std::string& path, int level, bool fullDepth);
    void showValues(HKey root, const std::string& path);
    std::vector<std::string> names(HKey root, const std::string& path, bool values);

    RegistryApi& registry_;
    Host& host_;
    OptimizerView view_;
};

}  // namespace keltora
