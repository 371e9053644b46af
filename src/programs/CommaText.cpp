#include "programs/CommaText.h"

namespace {

bool IsSeparatorSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }

} // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> items;
    size_t i = 0;
    auto skipSpace = [&] {
        while (i < text.size() && IsSeparatorSpace(text[i]))
            ++i;
    };
    skipSpace();
    while (i < text.size()) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ',' && !IsSeparatorSpace(text[i]))
                item += text[i++];
        }
        items.push_back(std::move(item));
        skipSpace();
        if (i < text.size() && text[i] == ',') {
            ++i;
            skipSpace();
            if (i >= text.size())
                items.emplace_back(); // a trailing comma ends with an empty item
        }
    }
    return items;
}
