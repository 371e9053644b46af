#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>

namespace Platform {

// The statx fields every walk asks for.
inline constexpr unsigned StatxMask =
    STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_MTIME | STATX_CTIME | STATX_BTIME;

TFileTime ToFileTime(const struct statx_timestamp& t);

// The attribute word of an entry from its statx record; for a link, linkTargetIsFolder
// says whether it points to a folder.
uint32_t AttributesOf(std::string_view name, const struct statx& st, bool linkTargetIsFolder);

// The attribute word from the listing's type alone (names-only walks).
uint32_t AttributesOfType(std::string_view name, unsigned char dtype);

// True when the folder is the root of a mount (another device, or a bind mount on the
// same one).
bool IsMountRoot(const struct statx& st, uint32_t parentDevMajor, uint32_t parentDevMinor);

// Birth time where the file system keeps it, else the change time. A birth time of
// exactly the epoch counts as not kept: some file systems report the field with nothing
// stored in it.
TFileTime CreatedOf(const struct statx& st);

// A FIFO, socket or device node, from statx's mode or from the listing's type.
bool IsSpecialMode(mode_t mode);
bool IsSpecialType(unsigned char dtype);

} // namespace Platform
