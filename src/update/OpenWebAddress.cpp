#include "update/OpenWebAddress.h"

#include "update/THttpUrl.h"

#include "platform/IShell.h"

bool OpenWebAddress(const std::string& address) {
    // The shell's "open" reaches the program registered for web pages on every system.
    return Platform::Shell().Open(WithDefaultScheme(address));
}
