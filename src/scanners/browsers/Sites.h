#pragma once
// Sites as the browser categories name them: the host of a cookie or an address, in lower case
// without the leading dot a domain cookie carries; and the keep list, whose sites (with their
// subdomains) are never removed.
#include <string>
#include <string_view>
#include <vector>

namespace keltora {

// ".Example.COM" -> "example.com".
std::string SiteOfHost(std::string_view host);
// "https://user@www.example.com:8080/x?y" -> "www.example.com"; empty where an address has no
// host ("about:blank", "file:///C:/x").
std::string HostOfUrl(std::string_view url);

class KeepList {
public:
    KeepList() = default;
    explicit KeepList(const std::vector<std::string>& sites);
    // Whether a host is a kept site or below one: "example.com" keeps "login.example.com".
    bool keeps(std::string_view host) const;
    bool empty() const { return sites_.empty(); }

private:
    std::vector<std::string> sites_;
};

}  // namespace keltora
