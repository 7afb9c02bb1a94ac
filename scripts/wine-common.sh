# Sourced by the scripts that run the Windows program or its tests under
# Wine: finding Wine, a private X display, and a prefix set up the way the
# windows need it. The caller sets `set -euo pipefail`, exports WINEPREFIX
# (and TMPDIR, if it changes it: Wine keeps its server's socket there) and
# calls wine_cleanup from its exit trap.

# Debian 12 has no wine64 on PATH; its loader lives in /usr/lib/wine.
wine_find_tool() {
    local name
    for name in "$@"; do
        if [[ $name == */* ]]; then
            [[ -x $name ]] && { echo "$name"; return 0; }
        elif command -v "$name" >/dev/null 2>&1; then
            command -v "$name"
            return 0
        fi
    done
    return 1
}

# Sets wine and wineserver, and the environment every Wine run shares.
# $1 names the calling script in messages.
wine_tools() {
    wine=$(wine_find_tool wine64 /usr/lib/wine/wine64 /usr/lib64/wine/wine64 wine) ||
        { echo "$1: Wine not found (scripts/setup)" >&2; exit 2; }
    wineserver=$(wine_find_tool "$(dirname "$wine")/wineserver64" \
        "$(dirname "$wine")/wineserver" wineserver) ||
        { echo "$1: wineserver not found (scripts/setup)" >&2; exit 2; }
    command -v Xvfb >/dev/null || { echo "$1: Xvfb not found (scripts/setup)" >&2; exit 2; }
    export WINESERVER=$wineserver
    export WINEDEBUG=-all
    # No Mono or Gecko (the prefix would offer to download them) and no menu
    # builder: nothing is written outside the prefix.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

wine_xvfb=
# Starts a private Xvfb and exports DISPLAY: display $2 (e.g. :11) when
# given, else the first free one. $1 is a folder for its notes.
wine_display() {
    local notes=$1/display number=
    if [[ -n ${2:-} ]]; then
        Xvfb "$2" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        wine_xvfb=$!
        echo "${2#:}" >"$notes"
    else
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$notes" >/dev/null 2>&1 &
        wine_xvfb=$!
    fi
    for _ in $(seq 100); do
        number=$(cat "$notes" 2>/dev/null || true)
        [[ -n $number && -S /tmp/.X11-unix/X$number ]] && break
        kill -0 "$wine_xvfb" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 2; }
        sleep 0.1
    done
    [[ -S /tmp/.X11-unix/X${number:-none} ]] || { echo "no display from Xvfb" >&2; exit 2; }
    export DISPLAY=:$number
}

# Makes the prefix WINEPREFIX, with Wine's own fonts (Debian's Wine does
# not find them; without them the caption buttons draw as letters). Drives
# are linked into its dosdevices between this and wine_setup.
wine_init() {
    "$wine" wineboot --init >/dev/null 2>&1 </dev/null ||
        { echo "could not make the Wine prefix" >&2; exit 2; }
    ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

# Sets the prefix up: no window manager (Wine draws the frames and never
# waits for one), IPA fonts standing in for the Japanese faces the windows
# ask for, then the registry text $2, if any (drive types, say). Ends with
# one server for the rest of the run, Wine's background services started
# with their output going nowhere, so that they hold no test's output open.
# $1 is a folder for its files.
wine_setup() {
    local reg=$1/prefix.reg
    {
        cat <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS UI Gothic"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"Tahoma Bold"="ipagp.ttf,IPAPGothic"
REG
        printf '%s\n' "${2:-}"
    } >"$reg"
    # A UTF-16 file, for the face named in Japanese.
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$reg"; } >"$reg.16"
    "$wine" regedit /S "Z:${reg//\//\\}.16" >/dev/null 2>&1 </dev/null ||
        { echo "could not set up the prefix's registry" >&2; exit 2; }
    # Wine's mount manager reads the drive types when it starts: a new server.
    "$wineserver" -k >/dev/null 2>&1 || true
    "$wineserver" -p30
    "$wine" wineboot >/dev/null 2>&1 </dev/null
}

# For the exit trap: the server, then the display.
wine_cleanup() {
    "$wineserver" -k >/dev/null 2>&1 || true
    if [[ -n $wine_xvfb ]]; then kill "$wine_xvfb" 2>/dev/null || true; fi
}
