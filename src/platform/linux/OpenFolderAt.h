#pragma once

namespace Platform {

// Opens the folder called name inside the open folder dirFd for reading, never through a
// link: openat2 with RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH (and RESOLVE_NO_XDEV when
// sameFileSystem) where the kernel has it, else openat with O_NOFOLLOW | O_DIRECTORY, after
// which the caller compares device and inode with what it examined. -1 with errno set
// (ELOOP for a link, ENOTDIR for what is no folder, EXDEV for another file system).
int OpenFolderAt(int dirFd, const char* name, bool sameFileSystem);

} // namespace Platform
