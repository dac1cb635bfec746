#!/usr/bin/env bash
# Builds everything (native and Windows) and runs every test: the native unit tests under
# AddressSanitizer and UBSan, a short fuzzing run of the MIDI parser, and the Windows-side and
# end-to-end tests under Wine in a private Xvfb.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
trap corvane_cleanup EXIT

corvane_install_packages
corvane_generate_locale

corvane_log "native build and unit tests"
corvane_build_native
(cd "$CORVANE_BUILD/native" && ctest --output-on-failure -j"$(nproc)")

corvane_log "fuzzing the MIDI file parser"
"$CORVANE_TOP/tools/fuzz.sh" "${CORVANE_FUZZ_SECONDS:-20}"

corvane_log "Windows build"
corvane_build_windows

corvane_log "Windows-side and end-to-end tests under Wine"
corvane_start_xvfb
corvane_prepare_prefix
corvane_start_wineserver
corvane_use_virtual_desktop on
if [ -f "$CORVANE_BUILD/win32/WordTestServer.dll" ]; then
    "$CORVANE_TOP/tests/e2e/register_word_server.sh" "$CORVANE_BUILD/win32/WordTestServer.dll"
fi
export LC_ALL=zh_CN.UTF-8
(cd "$CORVANE_BUILD/win32" && ctest --output-on-failure)
wineserver -k >/dev/null 2>&1 || true
