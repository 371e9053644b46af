#pragma once

#include <array>

class TSetting;

// The nine privacy items in the order they are listed and cleaned, each with its caption
// and the setting that says whether it is cleaned.
struct TPrivacyItemInfo {
    const char* Caption;
    bool (TSetting::*Ticked)() const;
    void (TSetting::*SetTicked)(bool);
};

inline constexpr int PrivacyItemCount = 9;

const std::array<TPrivacyItemInfo, PrivacyItemCount>& PrivacyItemList();
