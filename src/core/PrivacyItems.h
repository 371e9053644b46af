#pragma once

#include <array>
#include <string>

class TSetting;

// The nine privacy items, in the order the privacy window and the options dialog list
// them, each with the setting that says whether it is cleaned.
struct TPrivacyItem {
    const char* Caption;
    bool (TSetting::*Get)() const;
    void (TSetting::*Set)(bool);
};

const std::array<TPrivacyItem, 9>& PrivacyItems();
