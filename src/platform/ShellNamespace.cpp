#include "platform/IShellNamespace.h"

#include <algorithm>

namespace Platform {

void IShellNamespace::SortChildren(const TIdList& folder, std::vector<TShellChild>& children) {
    std::stable_sort(children.begin(), children.end(), [&](const TShellChild& a, const TShellChild& b) {
        return CompareIDs(folder, a, b) < 0;
    });
}

} // namespace Platform
