# Where an installed copy lives, and the Debian package that CPack makes from the install
# rules (cpack -G DEB in a build configured with CMAKE_INSTALL_PREFIX=/usr, or the
# "package" workflow preset).
#
# The program folder: the executable beside its read-only data files. Not
# CMAKE_INSTALL_LIBDIR, which is lib/<multiarch> under /usr on Debian: a program's own
# folder is lib/<name>, and the desktop entry names it.
set(MORVANE_INSTALL_DIR lib/morvane)
# Folders of the package are 0755 whatever the umask of the one who builds it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32 OR NOT MORVANE_BUILD_UI)
    return()
endif()

set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VENDOR "Morvane maintainers")
set(CPACK_PACKAGE_CONTACT "Morvane maintainers <support@example.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.example.com/morvane/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Help pages, links and mail forms open through xdg-open; the windows want Chinese glyphs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-wqy-microhei | fonts-noto-cjk")
# The first line is the synopsis; CPack indents the rest and writes "." for blank lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "disk cleaner, privacy cleaner and disk space analyser
Morvane frees disk space, removes usage traces and shows where a disk's
space has gone: a junk-file cleaner, a privacy cleaner for browser and
desktop traces, a folder space analyser with pie and bar charts, a
manager of the installed programs, options and daily tips. Its windows
are in Simplified Chinese with some English.

Morvane 清理磁盘上的垃圾文件和隐私纪录，并分析磁盘空间被什么占用：
垃圾文件清理、隐私清理、带饼图和柱状图的目录空间分析、已安装程序管理、
选项设置和每日技巧。界面为简体中文，部分为英文。")

include(CPack)
