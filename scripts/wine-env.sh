# Sourced by setup.sh, test.sh, demo.sh, the demo steps, cmake/wine-run.sh and
# bench/download/run.sh: the Wine
# programs' names (here and nowhere else), the probe for 32-bit programs, and
# wine_env_start/wine_env_stop: a display, a Wine prefix in the build tree and
# one long-lived wineserver, all stopped again by wine_env_stop.
#
# The wineserver is started here, outside ctest, with closed standard streams:
# a server that inherits ctest's pipes keeps them open and ctest waits forever.

WINE_DIR=/usr/lib/wine
WINE64=$WINE_DIR/wine64         # 64-bit loader; also makes and updates prefixes
WINE32=$WINE_DIR/wine           # 32-bit loader (Debian's wine32, i386)
WINESERVER=$WINE_DIR/wineserver # one per prefix, serves both loaders

# Succeeds when this machine executes 32-bit x86 programs. Nothing needs to be
# installed for the answer: a static i386 program of 93 bytes (ELF header, one
# program header, then `mov eax,1; xor ebx,ebx; int 0x80`, that is exit(0))
# is written into the folder given (one where programs may run) and started.
# Some kernels are built without 32-bit support and refuse it.
vemli_runs_32bit() {
  local dir=${1:-${TMPDIR:-/tmp}} probe rc
  mkdir -p "$dir" && probe=$(mktemp "$dir/probe32.XXXXXX") || return 1
  printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0%b%b%b' \
    '\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0' \
    '\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x5d\0\0\0\x5d\0\0\0\x05\0\0\0\0\x10\0\0' \
    '\xb8\x01\0\0\0\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  ("$probe") >/dev/null 2>&1
  rc=$?
  rm -f "$probe"
  return $rc
}

# Why the 32-bit Windows build cannot run here, as one line; prints nothing
# and succeeds when it can. $1: a folder where programs may run.
wine_32bit_blocker() {
  if ! vemli_runs_32bit "$1"; then
    echo "this machine does not execute 32-bit programs"
    return 1
  fi
  if [ ! -x "$WINE32" ]; then
    echo "the 32-bit Wine loader $WINE32 is missing (scripts/setup.sh installs wine32)"
    return 1
  fi
  if ! "$WINE32" --version </dev/null >/dev/null 2>&1; then
    echo "the 32-bit Wine loader $WINE32 does not start"
    return 1
  fi
}

wine_env_start() {
  local build=$1
  export WINEPREFIX=$build/wineprefix
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINE_LOCPATH=$build/locale
  mkdir -p "$build"

  # A Chinese locale for the tests that need Wine's ANSI code page to be 936.
  if [ ! -d "$WINE_LOCPATH/zh_CN.UTF-8" ]; then
    mkdir -p "$WINE_LOCPATH"
    localedef -i zh_CN -f UTF-8 "$WINE_LOCPATH/zh_CN.UTF-8" >/dev/null 2>&1 || true
  fi

  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    # Xvfb picks a free display number itself and writes it to the given
    # descriptor, so two runs side by side never share (or steal) a display.
    local numfile
    numfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$numfile" </dev/null >/dev/null 2>&1 &
    WINE_ENV_XVFB=$!
    local i
    for i in $(seq 100); do [ -s "$numfile" ] && break; sleep 0.1; done
    export DISPLAY=:$(tr -d '[:space:]' <"$numfile")
    rm -f "$numfile"
    if ! xdpyinfo >/dev/null 2>&1; then
      echo "wine-env: no virtual display could be started" >&2
      return 1
    fi
  fi

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix in $WINEPREFIX"
    "$WINE64" wineboot -i </dev/null >/dev/null 2>&1 || true
    # Dialog templates ask for 宋体 (SimSun); let a CJK font stand in for it.
    local name
    for name in SimSun 宋体 NSimSun; do
      "$WINE64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" \
        /d 'WenQuanYi Micro Hei' /f </dev/null >/dev/null 2>&1 || true
    done
    # Without a window manager Wine waits about 2 s for every managed
    # top-level window to hide; unmanaged windows go at once.
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      </dev/null >/dev/null 2>&1 || true
    "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  fi
  # Wine draws the glyphs of the title bar's buttons (and of scroll bars and
  # check marks) with its Marlett font; without it they read "0 1 r".
  # fonts-wine puts the font in Wine's data folder, which this Wine does not
  # search for TrueType fonts, while it does load every font in the prefix's
  # own Fonts folder: a copy there is found. Prefixes made earlier get it too.
  local marlett=/usr/share/wine/fonts/marlett.ttf fonts=$WINEPREFIX/drive_c/windows/Fonts
  if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    cp "$marlett" "$fonts/"
  fi
  # A server of this prefix may still run (a developer's wine_env_start
  # without wine_env_stop): then that one serves, and a second is refused.
  "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  "$WINE64" wineboot </dev/null >/dev/null 2>&1 || true
}

wine_env_stop() {
  "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  if [ -n "${WINE_ENV_XVFB:-}" ]; then
    kill "$WINE_ENV_XVFB" 2>/dev/null || true
    wait "$WINE_ENV_XVFB" 2>/dev/null || true
  fi
}
