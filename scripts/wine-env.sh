# Sourced by test.sh and demo.sh: a display, a Wine prefix in the build tree
# and one long-lived wineserver, all stopped again by wine_env_stop.
#
# The wineserver is started here, outside ctest, with closed standard streams:
# a server that inherits ctest's pipes keeps them open and ctest waits forever.

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
    /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1 || true
    # Dialog templates ask for 宋体 (SimSun); let a CJK font stand in for it.
    local name
    for name in SimSun 宋体 NSimSun; do
      /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" \
        /d 'WenQuanYi Micro Hei' /f </dev/null >/dev/null 2>&1 || true
    done
    # Without a window manager Wine waits about 2 s for every managed
    # top-level window to hide; unmanaged windows go at once.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      </dev/null >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w </dev/null >/dev/null 2>&1 || true
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
  /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
  /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
}

wine_env_stop() {
  /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
  if [ -n "${WINE_ENV_XVFB:-}" ]; then
    kill "$WINE_ENV_XVFB" 2>/dev/null || true
    wait "$WINE_ENV_XVFB" 2>/dev/null || true
  fi
}
