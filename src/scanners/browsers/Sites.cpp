#include "scanners/browsers/Sites.h"

namespace keltora {

std::string SiteOfHost(std::string_view host) {
    while (host.starts_with('.')) host.remove_prefix(1);
    while (host.ends_with('.')) host.remove_suffix(1);
    std::string site(host);
    for (auto& c : site)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return site;
}

std::string HostOfUrl(std::string_view url) {
    const auto scheme = url.find("://");
    if (scheme == std::string_view::npos) return {};
    std::string_view rest = url.substr(scheme + 3);
    rest = rest.substr(0, std::min(rest.find_first_of("/?#"), rest.size()));
    if (const auto at = rest.rfind('@'); at != std::string_view::npos) rest.remove_prefix(at + 1);
    if (rest.starts_with('[')) return SiteOfHost(rest.substr(0, std::min(rest.find(']') + 1, rest.size())));
    return SiteOfHost(rest.substr(0, std::min(rest.find(':'), rest.size())));
}

KeepList::KeepList(const std::vector<std::string>& sites) {
    for (const auto& site : sites) {
        std::string normal = SiteOfHost(site);
        if (!normal.empty()) sites_.push_back(std::move(normal));
    }
}

bool KeepList::keeps(std::string_view host) const {
    const std::string site = SiteOfHost(host);
    for (const auto& kept : sites_) {
        if (site == kept) return true;
        if (site.size() > kept.size() && site.ends_with(kept) && site[site.size() - kept.size() - 1] == '.')
            return true;
    }
    return false;
}

}  // namespace keltora
