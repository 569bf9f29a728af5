#include "maintenance/RegistryOptimizer.h"

#include "platform/Helpers.h"
#include "platform/Registry2.h"

namespace keltora {

namespace {

constexpr const char* kBase = "\\SOFTWARE\\Microsoft\\Windows\\";
constexpr int kDeepestLevel = 4;

bool isVista(RegistryApi& registry) {
    const std::string product =
        RegReadString(registry, kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName");
    for (const char* form : {"Vista", "VISTA", "vista"})
        if (product.find(form) != std::string::npos) return true;
    return false;
}

void setBar(ProgressBar& bar, std::size_t index, std::size_t count) {
    bar.setMaximum(static_cast<int>(count) - 1);
    bar.setPosition(static_cast<int>(index));
}

}  // namespace

std::vector<std::string> RegistryOptimizer::names(HKey root, const std::string& path, bool values) {
    std::vector<std::string> list;
    TRegistry reg(registry_);
    reg.SetRootKey(root);
    if (!reg.OpenKey(path, false)) return list;
    if (values) reg.GetValueNames(list);
    else reg.GetKeyNames(list);
    return list;
}

void RegistryOptimizer::showValues(HKey root, const std::string& path) {
    const auto values = names(root, path, true);
    for (std::size_t j = 0; j < values.size(); ++j) {
        view_.labelvalues.setCaption(values[j]);
        setBar(view_.PBNodes, j, values.size());
    }
}

void RegistryOptimizer::walkLevel(HKey root, const std::string& prefix, const std::string& path, int level,
                                  bool fullDepth) {
    const auto keys = names(root, path, false);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string relative = path.substr(std::string(kBase).size()) + keys[i];
        view_.labelnode.setCaption(prefix + relative);
        if (level <= 2) {
            setBar(view_.PBHive, i, keys.size());
            // The walk takes a while: the window keeps painting and runs what does not conflict.
            host_.processMessages();
        }
        if (level == kDeepestLevel && !fullDepth) continue;
        showValues(root, path + keys[i]);
        if (level < kDeepestLevel) walkLevel(root, prefix, path + keys[i] + "\\", level + 1, fullDepth);
    }
}

void RegistryOptimizer::walk(HKey root, const std::string& prefix, bool fullDepth) {
    walkLevel(root, prefix, kBase, 1, fullDepth);
}

void RegistryOptimizer::optimizeExecute() {
    host_.setCursor(Cursor::Hourglass);
    view_.labelnode.show();
    view_.labelvalues.show();
    view_.PBHive.setPosition(0);
    view_.PBNodes.setPosition(0);

    auto announce = [this](const char* text) {
        view_.Hivetext.setCaption(text);
        view_.labeldeep.setCaption(text);
        view_.labeldeep.show();
    };
    announce("Current Hives: 1 of 2 - HKEY_CURRENT_USER");
    walk(kHKeyCurrentUser, "HKCU\\SOFTWARE\\Microsoft\\Windows\\", true);
    if (!isVista(registry_)) {
        view_.PBNodes.setPosition(0);
        view_.PBHive.setPosition(0);
        announce("Current Hives: 2 of 2 - HKEY_LOCAL_MACHINE");
        walk(kHKeyLocalMachine, "HKLM\\SOFTWARE\\Microsoft\\Windows\\", false);
    }

    host_.setCursor(Cursor::Default);
    for (ProgressBar* bar : {&view_.PBHive, &view_.PBNodes}) {
        bar->setMaximum(10);
        bar->setPosition(10);
    }
    view_.Hivetext.setCaption(kComplete);
    view_.labelnode.setCaption("");
    view_.labelvalues.setCaption("Scan Complete...");
    view_.labeldeep.hide();
}

}  // namespace keltora
