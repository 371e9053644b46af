#!/usr/bin/env bash
# Retakes the screenshots in docs/ from the real windows as a Chinese user sees them:
# zh_CN.UTF-8, on a virtual X screen with the openbox window manager (frames around the
# windows, as on a desktop), Chinese glyphs from fonts-wqy-microhei.
# Usage: bash docs/screenshots.sh [build folder] [group...]
#   groups: shell (splash, launcher, tips, about), options (the options dialog as it
#   opens, its pages, the add junk type dialog), clean, privacy, programs, analysis and
#   update; every group when none is named.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/debug}
[ $# -gt 0 ] && shift
groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(shell options clean privacy programs analysis update)
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 QT_QPA_PLATFORM=xcb
on_screen() { xvfb-run -a -s "-screen 0 1280x1024x24" bash tools/with-openbox.sh "$@"; }

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
taken=()
take() { # the files of one group from the shell's picture program
    for f in "$@"; do
        cp "$shots/$f" docs/
        taken+=("docs/$f")
    done
}

case " ${groups[*]} " in
*" shell "* | *" options "* | *" clean "* | *" privacy "* | *" programs "*)
    cmake --build "$BUILD" --target morvane_screenshots
    on_screen "$BUILD/bin/morvane_screenshots" "$shots"
    ;;
esac
for group in "${groups[@]}"; do
    case $group in
    shell) take splash.png launcher.png tips.png about.png ;;
    options)
        take options.png add-junk-type.png
        take $(cd "$shots" && ls options-*.png)
        ;;
    clean) take clean.png ;;
    privacy) take privacy.png ;;
    programs) take programs.png ;;
    analysis)
        cmake --build "$BUILD" --target morvane_uitests_analysis
        MORVANE_SHOT_DIR=$PWD/docs on_screen "$BUILD/bin/morvane_uitests_analysis" \
            --gtest_filter='FrmMain.ShowsMyComputer*:AnalysisList.ShowsEachViewStyle:ChartPanelTest.ScreenshotOfTheFolderPie'
        taken+=(docs/analysis.png docs/analysis-*.png)
        ;;
    update)
        cmake --build "$BUILD" --target morvane_update_screenshots
        on_screen "$BUILD/bin/morvane_update_screenshots" docs
        taken+=(docs/update-ask.png docs/update-wizard.png)
        ;;
    *)
        echo "unknown group: $group" >&2
        exit 2
        ;;
    esac
done
echo "${taken[*]}"
