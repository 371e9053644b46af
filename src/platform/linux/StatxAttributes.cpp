#include "platform/linux/StatxAttributes.h"
#include "platform/TDirWalker.h"

#include <dirent.h>

namespace Platform {

TFileTime ToFileTime(const struct statx_timestamp& t) {
    return TFileTime{UnixEpochTicks + t.tv_sec * 10000000LL + t.tv_nsec / 100};
}

static uint32_t HiddenBit(std::string_view name) {
    return !name.empty() && name[0] == '.' ? Attr::Hidden : 0;
}

uint32_t AttributesOf(std::string_view name, const struct statx& st, bool linkTargetIsFolder) {
    uint32_t a = HiddenBit(name);
    const mode_t mode = st.stx_mode;
    if (S_ISDIR(mode))
        return a | Attr::Directory;
    if (S_ISLNK(mode))
        return a | Attr::ReparsePoint | (linkTargetIsFolder ? Attr::Directory : 0);
    if (!(mode & S_IWUSR))
        a |= Attr::ReadOnly;
    return a | (S_ISREG(mode) ? Attr::Archive : Attr::System);
}

uint32_t AttributesOfType(std::string_view name, unsigned char dtype) {
    const uint32_t a = HiddenBit(name);
    switch (dtype) {
    case DT_DIR:
        return a | Attr::Directory;
    case DT_LNK:
        return a | Attr::ReparsePoint;
    case DT_REG:
        return a | Attr::Archive;
    case DT_UNKNOWN:
        return a;
    default:
        return a | Attr::System;
    }
}

bool IsMountRoot(const struct statx& st, uint32_t parentDevMajor, uint32_t parentDevMinor) {
    if (st.stx_dev_major != parentDevMajor || st.stx_dev_minor != parentDevMinor)
        return true;
    return (st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
           (st.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

TFileTime CreatedOf(const struct statx& st) {
    const bool born =
        (st.stx_mask & STATX_BTIME) && (st.stx_btime.tv_sec != 0 || st.stx_btime.tv_nsec != 0);
    return ToFileTime(born ? st.stx_btime : st.stx_ctime);
}

bool IsSpecialMode(mode_t mode) {
    return S_ISFIFO(mode) || S_ISSOCK(mode) || S_ISCHR(mode) || S_ISBLK(mode);
}

bool IsSpecialType(unsigned char dtype) {
    return dtype == DT_FIFO || dtype == DT_SOCK || dtype == DT_CHR || dtype == DT_BLK;
}

} // namespace Platform
