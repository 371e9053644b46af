#include "update/TLoginComponent.h"

#include <cstdint>

namespace {

// Keeps the credentials from being readable at a glance in a stored form; it is not
// encryption and is not meant to be.
constexpr uint8_t Key[] = {0x4D, 0x6F, 0x72, 0x76, 0x61, 0x6E, 0x65, 0x21};

std::string Scramble(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<uint8_t>(static_cast<uint8_t>(text[i]) ^ Key[i % sizeof Key]);
        out += hex[b >> 4];
        out += hex[b & 15];
    }
    return out;
}

bool Unscramble(const std::string& text, std::string& out) {
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    if (text.size() % 2 != 0)
        return false;
    out.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int hi = nibble(text[i]);
        int lo = nibble(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>((hi * 16 + lo) ^ Key[(i / 2) % sizeof Key]);
    }
    return true;
}

} // namespace

std::string TLoginComponent::LoginData() const {
    return Scramble(FHTTPUsername + '\0' + FHTTPPassword);
}

void TLoginComponent::SetLoginData(const std::string& data) {
    std::string plain;
    FHTTPUsername.clear();
    FHTTPPassword.clear();
    if (!Unscramble(data, plain))
        return;
    auto zero = plain.find('\0');
    if (zero == std::string::npos)
        return;
    FHTTPUsername = plain.substr(0, zero);
    FHTTPPassword = plain.substr(zero + 1);
}
