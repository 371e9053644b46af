#include "update/THttpUrl.h"

#include <cctype>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int DefaultPort(const std::string& scheme) {
    if (scheme == "https")
        return 443;
    if (scheme == "ftp")
        return 21;
    return 80;
}

void SplitHostPort(const std::string& hostPort, THttpUrl& url) {
    std::string portText;
    if (!hostPort.empty() && hostPort.front() == '[') {
        auto close = hostPort.find(']');
        url.Host = hostPort.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        if (close != std::string::npos && close + 1 < hostPort.size() && hostPort[close + 1] == ':')
            portText = hostPort.substr(close + 2);
    } else {
        auto colon = hostPort.find(':');
        url.Host = hostPort.substr(0, colon);
        if (colon != std::string::npos)
            portText = hostPort.substr(colon + 1);
    }
    url.Port = DefaultPort(url.Scheme);
    if (!portText.empty() && portText.size() <= 5 &&
        portText.find_first_not_of("0123456789") == std::string::npos)
        url.Port = std::stoi(portText);
}

} // namespace

std::string WithDefaultScheme(const std::string& url) {
    return url.find("://") == std::string::npos ? "http://" + url : url;
}

THttpUrl THttpUrl::Crack(const std::string& text) {
    THttpUrl url;
    const std::string full = WithDefaultScheme(text);
    const auto schemeEnd = full.find("://");
    url.Scheme = Lower(full.substr(0, schemeEnd));
    std::string rest = full.substr(schemeEnd + 3);
    if (auto hash = rest.find('#'); hash != std::string::npos)
        rest.erase(hash);
    const auto authorityEnd = rest.find_first_of("/?");
    std::string authority = rest.substr(0, authorityEnd);
    std::string tail = authorityEnd == std::string::npos ? "" : rest.substr(authorityEnd);
    if (auto at = authority.rfind('@'); at != std::string::npos) {
        std::string user = authority.substr(0, at);
        authority.erase(0, at + 1);
        auto colon = user.find(':');
        url.UserName = user.substr(0, colon);
        if (colon != std::string::npos)
            url.Password = user.substr(colon + 1);
    }
    SplitHostPort(authority, url);
    const auto query = tail.find('?');
    url.Path = tail.substr(0, query);
    if (query != std::string::npos)
        url.Extra = tail.substr(query);
    if (url.Path.empty())
        url.Path = "/";
    return url;
}

std::string THttpUrl::LocalPath() const {
    std::string out;
    for (std::size_t i = 0; i < Path.size(); ++i) {
        if (Path[i] == '%' && i + 2 < Path.size() && HexValue(Path[i + 1]) >= 0 &&
            HexValue(Path[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(Path[i + 1]) * 16 + HexValue(Path[i + 2]));
            i += 2;
        } else {
            out += Path[i];
        }
    }
    return out;
}
