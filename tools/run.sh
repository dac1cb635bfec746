#!/usr/bin/env bash
# Builds Corvane.exe and starts it under Wine. With a display it opens there; without one it runs
# in a private Xvfb, saves a screenshot of the whole screen, prints the PNG's path and ends.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
trap corvane_cleanup EXIT

corvane_install_packages
corvane_generate_locale
corvane_build_windows --target Corvane
exe="$CORVANE_BUILD/win32/Corvane.exe"

if [ -n "${DISPLAY:-}" ]; then
    corvane_prepare_prefix
    corvane_start_wineserver
    corvane_use_virtual_desktop off
    corvane_wine "$exe"
    exit 0
fi

corvane_start_xvfb
corvane_prepare_prefix
corvane_start_wineserver
corvane_use_virtual_desktop on
corvane_wine "$exe" &
program=$!
CORVANE_PIDS=("$program" "${CORVANE_PIDS[@]}")
sleep "${CORVANE_SCREENSHOT_DELAY:-5}"
shot="$CORVANE_BUILD/screenshot-$(date +%Y%m%d-%H%M%S).png"
import -window root -display "$DISPLAY" "$shot"
echo "$shot"
kill "$program" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
