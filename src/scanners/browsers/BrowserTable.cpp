#include "scanners/browsers/BrowserTable.h"

#include <array>

namespace keltora {
namespace {

constexpr std::array kBrowsers{
    Browser{"edge", "Microsoft Edge", BrowserFamily::Chromium, UserFolder::LocalAppData, u"Microsoft\\Edge\\User Data",
            u"msedge.exe", u"lockfile", u""},
    Browser{"chrome", "Google Chrome", BrowserFamily::Chromium, UserFolder::LocalAppData, u"Google\\Chrome\\User Data",
            u"chrome.exe", u"lockfile", u""},
    Browser{"brave", "Brave", BrowserFamily::Chromium, UserFolder::LocalAppData,
            u"BraveSoftware\\Brave-Browser\\User Data", u"brave.exe", u"lockfile", u""},
    Browser{"firefox", "Mozilla Firefox", BrowserFamily::Firefox, UserFolder::RoamingAppData, u"Mozilla\\Firefox",
            u"firefox.exe", u"parent.lock", u"Mozilla\\Firefox"},
};

}  // namespace

std::span<const Browser> Browsers() { return kBrowsers; }

const Browser* FindBrowser(std::string_view code) {
    for (const auto& browser : kBrowsers)
        if (browser.code == code) return &browser;
    return nullptr;
}

std::string CloseToCleanText(const Browser& browser) { return "Close " + std::string(browser.name) + " to clean"; }

}  // namespace keltora
