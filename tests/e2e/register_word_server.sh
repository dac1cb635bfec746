#!/bin/sh
# Registers WordTestServer.dll as the Word.Application automation server in the Wine prefix named by
# WINEPREFIX (an in-process server, apartment-threaded), or removes it again with --unregister.
# Usage: WINEPREFIX=/path/to/prefix tests/e2e/register_word_server.sh /path/to/WordTestServer.dll
#        WINEPREFIX=/path/to/prefix tests/e2e/register_word_server.sh --unregister
set -eu

CLSID='{8D44504D-A3E4-4E84-A6CF-4DE0794F6078}'
PROGID='Word.Application'

: "${WINEPREFIX:?set WINEPREFIX to the test prefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"

if [ "${1:-}" = "--unregister" ]; then
    wine reg delete "HKCR\\$PROGID" /f >/dev/null 2>&1 || true
    wine reg delete "HKCR\\CLSID\\$CLSID" /f >/dev/null 2>&1 || true
    exit 0
fi

dll="${1:?usage: register_word_server.sh /path/to/WordTestServer.dll | --unregister}"
[ -f "$dll" ] || { echo "register_word_server.sh: no such file: $dll" >&2; exit 1; }
windows_path=$(winepath -w "$(readlink -f "$dll")")

wine reg add "HKCR\\$PROGID\\CLSID" /ve /d "$CLSID" /f >/dev/null
wine reg add "HKCR\\CLSID\\$CLSID" /ve /d "Corvane Word test server" /f >/dev/null
wine reg add "HKCR\\CLSID\\$CLSID\\ProgID" /ve /d "$PROGID" /f >/dev/null
wine reg add "HKCR\\CLSID\\$CLSID\\InprocServer32" /ve /d "$windows_path" /f >/dev/null
wine reg add "HKCR\\CLSID\\$CLSID\\InprocServer32" /v ThreadingModel /d Apartment /f >/dev/null

# Reads the registration back, so that a prefix where the write did not land fails here.
wine reg query "HKCR\\CLSID\\$CLSID\\InprocServer32" /ve | grep -qiF "$(basename "$dll")" || {
    echo "register_word_server.sh: registration not found in $WINEPREFIX" >&2
    exit 1
}
