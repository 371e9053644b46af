#include "platform/linux/TParentFolder.h"

#include <fcntl.h>
#include <unistd.h>

namespace Platform {

TParentFolder::~TParentFolder() {
    if (FFd >= 0)
        close(FFd);
}

int TParentFolder::Open(const std::string& text) {
    if (FFd >= 0 && text == FText)
        return FFd;
    if (FFd >= 0)
        close(FFd);
    FText.clear();
    FFd = open(text.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (FFd >= 0)
        FText = text;
    return FFd;
}

} // namespace Platform
