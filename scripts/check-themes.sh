#!/usr/bin/env bash
# shellcheck disable=SC2317  # functions run through wait_until and the exit trap
# Checks that the window keeps its own look on a dark desktop: runs PROGRAM (default
# build/debug/vimbra-generator) on an X server (Xvfb) as it comes, under GNOME's Qt integration
# with the dark GTK theme, and with the dark Adwaita Qt style (by QT_STYLE_OVERRIDE and by -style),
# ticks "Ознакомился" in each so that the enabled controls and the preview show, and compares the
# screenshots of the window: every look must be pixel-identical to the plain one. With SHOTS_DIR
# set, the screenshots are kept there, and EXTRA_LOOKS ("name VAR=value ... [-option ...]"
# entries separated by ';') adds runs to take screenshots of without comparing them. Prints what
# differs; exits non-zero if a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/debug/vimbra-generator}")

title_pattern='^Vimbra generator v0\.2$'
# Where "Ознакомился" lies in the window.
tick_x=192
tick_y=292

tmp_name=vimbra-themes
# shellcheck source=scripts/check-common.sh
source scripts/check-common.sh

[[ -x $program ]] || { echo "FAIL: no program $program" >&2; exit 1; }
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
for plugin in platformthemes/libqgtk3.so styles/adwaita.so; do
  [[ -f $plugins/$plugin ]] || { echo "FAIL: Qt plugin $plugins/$plugin is missing (scripts/deps.sh)" >&2; exit 1; }
done

start_xvfb 1280x1024x24 || exit 1

# The screenshot of the window once two in a row agree (nothing is still being painted).
settled_shot() {  # window, file
  local previous=$tmp/previous.png
  import -window "$1" "png:$previous"
  for _ in $(seq 50); do
    sleep 0.2
    import -window "$1" "png:$2"
    [[ $(compare -metric AE "$previous" "$2" null: 2>&1 || true) == 0 ]] && return 0
    cp "$2" "$previous"
  done
  return 1
}

# Runs the program with the given environment and options, ticks the warning's box and takes the
# screenshot.
shoot() {  # name, environment assignments and options (-style NAME)...
  local name=$1 log=$tmp/$1.log window pid scale=1 word assignments=() options=()
  shift
  for word in "$@"; do
    if [[ $word == -* || ${#options[@]} -gt 0 ]]; then
      options+=("$word")
    else
      assignments+=("$word")
      [[ $word == QT_SCALE_FACTOR=* ]] && scale=${word#*=}
    fi
  done
  env QT_QPA_PLATFORM=xcb ${assignments[@]+"${assignments[@]}"} "$program" \
    ${options[@]+"${options[@]}"} >"$log" 2>&1 &
  pid=$!
  pids+=("$pid")
  window=$(timeout 60 xdotool search --sync --onlyvisible --name "$title_pattern" | head -n 1) || true
  if [[ -z $window ]]; then
    fail "$name: no window within 60 s; its output:"
    cat "$log" >&2
    return 1
  fi
  sleep 0.5
  xdotool mousemove --window "$window" "$(awk "BEGIN { print int($tick_x * $scale) }")" \
    "$(awk "BEGIN { print int($tick_y * $scale) }")" click 1
  # The pointer leaves the window, so that no control is shown hovered.
  xdotool mousemove 0 0
  settled_shot "$window" "$tmp/$name.png" || fail "$name: the window never stopped changing"
  close_program "$pid" "$name" "$log"
  [[ -z ${SHOTS_DIR:-} ]] || cp "$tmp/$name.png" "$SHOTS_DIR/$name.png"
}

shoot default
shoot gtk-dark QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
shoot adwaita-dark QT_STYLE_OVERRIDE=Adwaita-Dark
shoot style-option -style Adwaita-Dark
for look in gtk-dark adwaita-dark style-option; do
  differing=$(compare -metric AE "$tmp/default.png" "$tmp/$look.png" "$tmp/$look-diff.png" 2>&1 || true)
  if [[ $differing == 0 ]]; then
    echo "$look: the window is identical to the plain one"
  else
    fail "$look: $differing pixels differ from the plain window"
    [[ -z ${SHOTS_DIR:-} ]] || cp "$tmp/$look-diff.png" "$SHOTS_DIR/$look-diff.png"
  fi
done

IFS=';' read -ra extra <<<"${EXTRA_LOOKS:-}"
for entry in "${extra[@]}"; do
  read -ra words <<<"$entry"
  [[ ${#words[@]} -gt 0 ]] && shoot "${words[@]}"
done

[[ $failed -eq 0 ]] && echo "theme checks passed"
exit "$failed"
