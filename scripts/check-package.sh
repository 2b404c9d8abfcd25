#!/usr/bin/env bash
# shellcheck disable=SC2317  # functions run through wait_until and the exit trap
# Checks the Debian package that ./package built in BUILD_DIR (default build/package): lintian
# finds no error, the package holds exactly the expected files, the desktop entry and the
# AppStream metadata it installs are valid and agree with the package, and the program unpacked
# from it (dpkg -x) opens its window and quits with status 0 when asked to close, on Qt's
# offscreen platform and on an X server (Xvfb), where its title and window class are checked.
# Prints what it saw when a check fails; exits non-zero if any check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/package}

app_id=lab.kestrov.VimbraGenerator
title="Vimbra generator v0.2"  # the window's caption, and as an xdotool pattern:
title_pattern='^Vimbra generator v0\.2$'
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$build/vimbra-generator_${version}_$(dpkg --print-architecture).deb
expected_files=(
  usr/bin/vimbra-generator
  "usr/share/applications/$app_id.desktop"
  usr/share/doc/vimbra-generator/changelog.gz
  usr/share/doc/vimbra-generator/copyright
  usr/share/icons/hicolor/scalable/apps/vimbra-generator.svg
  usr/share/man/man1/vimbra-generator.1.gz
  "usr/share/metainfo/$app_id.metainfo.xml"
)

tmp_name=vimbra-package
# shellcheck source=scripts/check-common.sh
source scripts/check-common.sh

[[ -f $deb ]] || { echo "FAIL: no package $deb (run ./package)" >&2; exit 1; }
echo "package: $deb"

# Lintian: no errors. Warnings and infos are printed for the reader.
if ! lintian --fail-on error --tag-display-limit 0 "$deb" >"$tmp/lintian" 2>&1; then
  fail "lintian reports errors"
fi
grep -v 'running with root privileges is not recommended' "$tmp/lintian" >"$tmp/tags" || true
if [[ -s $tmp/tags ]]; then cat "$tmp/tags"; else echo "lintian: no tags"; fi

# Contents: the expected files, the directories that hold them, nothing else.
{
  for file in "${expected_files[@]}"; do
    echo "./$file"
    dir=$(dirname "$file")
    while [[ $dir != . ]]; do
      echo "./$dir/"
      dir=$(dirname "$dir")
    done
  done
} | sort -u >"$tmp/expected"
dpkg-deb -c "$deb" | awk '{print $6}' | grep -vx './' | sort >"$tmp/listed"
if ! diff -u "$tmp/expected" "$tmp/listed" >"$tmp/contents.diff"; then
  fail "package contents differ from the expected (- expected, + in the package):"
  cat "$tmp/contents.diff" >&2
fi

# Package fields: the version is the project's; libraries found from the binary plus the fonts.
depends=$(dpkg-deb -f "$deb" Depends)
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] ||
  fail "package version $(dpkg-deb -f "$deb" Version), project version $version"
for needed in fonts-liberation libqt6widgets6 libpulse0; do
  [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
    fail "Depends lacks $needed: $depends"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
[[ $recommends == *qt6-wayland* ]] || fail "Recommends lacks qt6-wayland: $recommends"

root=$tmp/root
dpkg -x "$deb" "$root"
desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml

desktop-file-validate "$desktop" || fail "desktop-file-validate: $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate: $metainfo"
grep -q "<release version=\"$version\"" "$metainfo" ||
  fail "the metadata's release is not $version: $(grep '<release ' "$metainfo")"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -f $root/usr/share/icons/hicolor/scalable/apps/$icon.svg ]] ||
  fail "the desktop entry's icon $icon is not installed"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")

program=$root/usr/bin/vimbra-generator
# --help and --version need no display: the help lists both, --version prints the package's
# version, each exits 0.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
shown_help=$("${no_display[@]}" "$program" --help 2>&1) ||
  fail "--help without a display: status $?, output: $shown_help"
[[ $shown_help == *"-v, --version"* ]] || fail "--help prints: $shown_help"
shown_version=$("${no_display[@]}" "$program" --version 2>&1) ||
  fail "--version without a display: status $?, output: $shown_version"
[[ $shown_version == "vimbra-generator $version" ]] ||
  fail "--version prints \"$shown_version\", expected \"vimbra-generator $version\""
echo "command line: --version \"$shown_version\""

# Runs the unpacked program in the background. It plays to the sound server of ./test
# (PULSE_SERVER); where none answers, the window opens after its audio error box.
start_program() {  # log file, environment assignments...
  local log=$1
  shift
  env "$@" "$program" >"$log" 2>&1 &
  pids+=($!)
}
# True once the process catches SIGTERM: the program takes the signal over once its window
# exists, so from then on SIGTERM asks it to close.
catches_sigterm() {
  local mask
  mask=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null) || return 1
  [[ -n $mask ]] && (((16#$mask >> 14) & 1))
}
# Qt's offscreen platform.
start_program "$tmp/offscreen.log" QT_QPA_PLATFORM=offscreen
pid=${pids[-1]}
if wait_until 60 catches_sigterm "$pid"; then
  echo "offscreen: the program is up (pid $pid)"
  close_program "$pid" offscreen "$tmp/offscreen.log"
else
  fail "offscreen: the program did not come up within 60 s; its output:"
  cat "$tmp/offscreen.log" >&2
fi

# An X server: the window must appear with its caption and the desktop entry's window class.
start_xvfb 1024x768x24 || exit 1
# Qt takes its own options (X11's among them) out of the command line; an unknown option left
# over is refused with status 2, naming it alone, before the window opens.
status=0
refusal=$(QT_QPA_PLATFORM=xcb "$program" -display "$DISPLAY" -title Tone -name tone -reverse \
  -style fusion --no-such-option 2>&1) || status=$?
[[ $status -eq 2 && $refusal == *"Unknown option 'no-such-option'."* ]] ||
  fail "Qt's options and --no-such-option: status $status (expected 2), output: $refusal"
echo "command line: Qt's options taken, --no-such-option refused with status $status"
start_program "$tmp/xcb.log" QT_QPA_PLATFORM=xcb
pid=${pids[-1]}
window=$(timeout 60 xdotool search --sync --onlyvisible --name "$title_pattern" | head -n 1) || true
if [[ -z $window ]]; then
  fail "X server: no window titled \"$title\" within 60 s; the windows shown:"
  for shown in $(xdotool search --onlyvisible --name ''); do
    echo "  $(xdotool getwindowname "$shown")" >&2
  done
  echo "its output:" >&2
  cat "$tmp/xcb.log" >&2
  kill -TERM "$pid"
else
  shown_title=$(xdotool getwindowname "$window")
  shown_class=$(xprop -id "$window" WM_CLASS)
  echo "X server: window \"$shown_title\", $shown_class"
  [[ $shown_title == "$title" ]] || fail "window title \"$shown_title\", expected \"$title\""
  [[ $shown_class == *"\"$wm_class\""* ]] ||
    fail "window class $shown_class, the desktop entry expects $wm_class"
  close_program "$pid" "X server" "$tmp/xcb.log"
fi

[[ $failed -eq 0 ]] && echo "package checks passed"
exit "$failed"
