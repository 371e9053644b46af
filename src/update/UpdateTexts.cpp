#include "update/UpdateTexts.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

constexpr std::array<const char*, 37> Texts = {
    "Application update wizard",
    "Downloading files...",
    "Upgrade completed!",
    "Current file",
    "All files",
    "Downloading file from",
    "File size: %.1f Kb",
    "Transfer rate: %.1f Kb/s",
    "Estimated time left: %d:%.2d:%.2d",
    "Downloading %d of %d",
    "The update of %s has been successfully completed.\r\rPress the OK button to restart "
    "program.",
    "Enter password",
    "User Name",
    "Password",
    "&Yes",
    "&No",
    "&OK",
    "&Cancel",
    "&Next >",
    "&Later",
    "Warning",
    "Error",
    "Preparing. . .",
    "A newer version of %s was released.\n%s\nDo you want to update your version with the "
    "latest one?",
    "Newer version not found. You actually are\rusing most recent version of this program.",
    "File which contains upgrade information was not found on developer's site.",
    "Host %s unreachable.\r\rPlease check your Internet connection and\rtry to upgrade this "
    "software again later.",
    "The update is not completed.\rWould you like to abort upgrading?",
    "File %s not found or inaccessible.\r\rTry to skip this file and continue upgrade?",
    "Access to remote file \"%s\" is password protected.\n\nPlease enter your username and "
    "password (received after registration) to continue software upgrade.",
    "Connection with remote server lost.\r\rPlease restore connection and try to\rupgrade this "
    "software again later.",
    // Texts added to the set, in its voice, for the cases it has no words for.
    "File %s does not match the signed update information.\r\rTry to skip this file and "
    "continue upgrade?",
    "The update of %s is not completed: %d of %d files could not be downloaded or did not "
    "match the signed update information.\r\rNothing has been changed.",
    "There is not enough free disk space for the update.\r\r%.1f Kb are needed in\r%s\rand "
    "%.1f Kb are free.",
    "A newer version of %s was released, but this copy is installed in\r%s\rwhich you "
    "cannot write to.\r\rPlease ask your administrator to update it.",
    "This copy of %s is updated by the system's package manager.\r\rPlease look for updates "
    "there.",
    "A check for updates is running already.\r\rWould you like to stop it?",
};

} // namespace

const char* UpdateText(int index) {
    if (index < 0 || index >= static_cast<int>(Texts.size()))
        return "";
    return Texts[static_cast<std::size_t>(index)];
}

std::string FormatUpdateText(int index, ...) {
    va_list args;
    va_start(args, index);
    va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, UpdateText(index), args);
    va_end(args);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 0) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), UpdateText(index), again);
    va_end(again);
    return std::string(buffer.data(), static_cast<std::size_t>(size > 0 ? size : 0));
}
