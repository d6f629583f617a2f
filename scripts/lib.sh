# Shared by the scripts: the project's root, an X display of our own (Xvfb, or
# Xorg's dummy driver for two monitors) and a Wine prefix under build/, all
# stopped again when the script ends.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEDEBUG=-all
# Wine names Unix files in the locale's character set: without UTF-8 a file
# name outside ASCII cannot be made at all.
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer dialogs

# Which build Wine runs: the x86-64 one (build/win64) in a 64-bit prefix, or
# the i686 one (build/win32) in a 32-bit prefix. Wine's loaders are called by
# their own paths: Debian's `wine` always takes the 32-bit one when it is
# installed, and WINELOADER makes the processes a program starts use the same.
use_wine() {
  case "$1" in
    win64) export WINEARCH=win64 WINEPREFIX="$ROOT/build/wineprefix64" WINE=/usr/lib/wine/wine64 ;;
    win32) export WINEARCH=win32 WINEPREFIX="$ROOT/build/wineprefix" WINE=/usr/lib/wine/wine ;;
    *) echo "use_wine: win64 or win32, not $1" >&2; return 1 ;;
  esac
  export WINELOADER="$WINE"
}
use_wine win64

# A kernel built or booted without 32-bit emulation (ia32_emulation=off)
# cannot start the 32-bit Wine loader at all.
wine32_runs() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

XVFB_PID=""
XORG_PID=""
XORG_DIR=""

display_free() { [ ! -e "/tmp/.X$1-lock" ] && [ ! -e "/tmp/.X11-unix/X$1" ]; }

# Starts Xvfb at 640x480x24 (or the size given, as 1920x1080) on the first
# free display number from 90 up.
start_xvfb() {
  local n size="${1:-640x480}"
  for n in $(seq 90 140); do
    if display_free "$n"; then
      Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
      XVFB_PID=$!
      local i
      for i in $(seq 1 50); do
        if [ -e "/tmp/.X11-unix/X$n" ]; then export DISPLAY=":$n"; return 0; fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
      done
      kill "$XVFB_PID" 2>/dev/null || true
      XVFB_PID=""
    fi
  done
  echo "no free X display for Xvfb" >&2
  return 1
}

# Two monitors side by side: DUMMY0 800x600 at 0,0 (primary) and DUMMY1
# 640x480 at 800,0 on a 1440x600 screen, from Xorg's dummy driver (Xvfb's
# screens are separate X screens, which Wine does not join into one desktop).
# The first free display number from 90 up; fails unless xrandr then lists
# exactly those two monitors.
start_xorg_two_monitors() {
  XORG_DIR=$(mktemp -d)
  mkdir "$XORG_DIR/conf.d"   # empty: no snippets from /etc/X11/xorg.conf.d
  # No udev input devices: a developer's real mouse must not move our pointer.
  cat >"$XORG_DIR/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 32768
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-1000.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 1440 600
  EndSubSection
EndSection
CONF
  local n i
  for n in $(seq 90 140); do
    display_free "$n" || continue
    # -sharevts: run as root, Xorg would otherwise take over a console.
    Xorg ":$n" -config "$XORG_DIR/xorg.conf" -configdir "$XORG_DIR/conf.d" -noreset -nolisten tcp \
      -sharevts -novtswitch -logfile "$XORG_DIR/Xorg.log" >"$XORG_DIR/stderr" 2>&1 &
    XORG_PID=$!
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$XORG_PID" 2>/dev/null || break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$XORG_PID" 2>/dev/null; then break; fi
    kill "$XORG_PID" 2>/dev/null || true
    wait "$XORG_PID" 2>/dev/null || true
    XORG_PID=""
    # Another server may have taken the number meanwhile; a broken Xorg fails on every one.
    if display_free "$n"; then break; fi
  done
  if [ -z "$XORG_PID" ]; then
    echo "start_xorg_two_monitors: Xorg did not start; its log:" >&2
    tail -n 20 "$XORG_DIR/Xorg.log" "$XORG_DIR/stderr" >&2 2>/dev/null || true
    return 1
  fi
  export DISPLAY=":$n"
  local monitors
  if ! { xrandr --newmode M 25.18 640 656 752 800 480 490 492 525 &&
         xrandr --addmode DUMMY1 M &&
         xrandr --fb 1440x600 --output DUMMY0 --mode 800x600 --pos 0x0 --primary \
                --output DUMMY1 --mode M --right-of DUMMY0 &&
         xrandr -q >/dev/null; }; then   # without this query Wine may still find DUMMY1 off
    echo "start_xorg_two_monitors: xrandr failed on $DISPLAY" >&2
    return 1
  fi
  monitors=$(xrandr --listmonitors | sed -E 's#/[0-9]+##g')
  if ! grep -q 'DUMMY0 800x600+0+0' <<<"$monitors" || ! grep -q 'DUMMY1 640x480+800+0' <<<"$monitors" ||
     [ "$(grep -c DUMMY <<<"$monitors")" -ne 2 ]; then
    echo "start_xorg_two_monitors: not the two monitors wanted on $DISPLAY:" >&2
    echo "$monitors" >&2
    return 1
  fi
}

# Makes the Wine prefix on first use and keeps a wineserver running for it.
start_wine() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # wineboot returns while the prefix's services are still being set up;
    # a process started meanwhile runs wineboot again and leaves a second set
    # of services, with which the RPC service cannot start, and every later
    # window then waits 10 s or more for the desktop. Wait for all to end.
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    timeout 120 wineserver -w >/dev/null 2>&1 || true
  fi
  # Debian's Wine does not look in its own font folder: without these the
  # dialog's "MS Sans Serif" falls back to a wider face and the layout grows.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -p >/dev/null 2>&1 || true
  "$WINE" cmd /c exit >/dev/null 2>&1 || true   # first start: let the prefix settle
  # Our X servers run no window manager: Wine is told so, or every window it
  # thinks managed (any activated one) waits 2 s for one as it is hidden.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
}

stop_all() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
  if [ -n "$XORG_PID" ]; then
    kill "$XORG_PID" 2>/dev/null || true
    wait "$XORG_PID" 2>/dev/null || true
    XORG_PID=""
  fi
  if [ -n "$XORG_DIR" ]; then
    rm -rf "$XORG_DIR"
    XORG_DIR=""
  fi
}

build_all() {
  cmake --preset native >/dev/null
  cmake --build --preset native -j2
  local preset
  for preset in win32 win64; do
    cmake --preset $preset >/dev/null
    cmake --build --preset $preset -j2
  done
}
