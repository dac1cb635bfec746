#!/usr/bin/env bash
# Benchmarks under Wine in a private Xvfb, measured side by side in one run:
#   start-up of Corvane.exe to its first visible window against a minimal Win32 window program,
#   generating a letter against setting the same text into the letter box in one call.
# Usage: tools/bench.sh [ROUNDS]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
trap corvane_cleanup EXIT

corvane_install_packages
corvane_generate_locale
corvane_build_windows --target Corvane bench_probe minimal_window
corvane_start_xvfb
corvane_prepare_prefix
corvane_start_wineserver
corvane_use_virtual_desktop on
win() { echo "Z:${1//\//\\}"; }
b="$CORVANE_BUILD/win32"
ls -l "$b/Corvane.exe" | awk '{print "Corvane.exe: " $5 " bytes"}'
corvane_wine "$b/bench_probe.exe" "$(win "$b/Corvane.exe")" "$(win "$b/minimal_window.exe")" "${1:-9}"
wineserver -k >/dev/null 2>&1 || true
