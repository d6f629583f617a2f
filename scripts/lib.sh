# Shared by the scripts: the project's root, an X display of our own (Xvfb, or
# Xorg's dummy driver for two monitors) and a Wine prefix under build/, all
# stopped again when the script ends; for the tests, Wine run by an
# unprivileged user whose Windows directory is read-only (use_test_user).

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
# The prefixes of use_test_user's mode end in -unprivileged.
use_wine() {
  local suffix=""
  [ -n "$TEST_PREFIXES" ] && suffix=-unprivileged
  case "$1" in
    win64) export WINEARCH=win64 WINEPREFIX="$ROOT/build/wineprefix64$suffix" WINE=/usr/lib/wine/wine64 ;;
    win32) export WINEARCH=win32 WINEPREFIX="$ROOT/build/wineprefix$suffix" WINE=/usr/lib/wine/wine ;;
    *) echo "use_wine: win64 or win32, not $1" >&2; return 1 ;;
  esac
  export WINELOADER="$WINE"
}
TEST_PREFIXES=""
use_wine win64
unset LUMARO_WINE_USER   # use_test_user's alone, not one a caller left behind

# Runs a command of Wine's as the user who runs Wine (scripts/as-wine-user).
as_wine_user() { "$ROOT/scripts/as-wine-user" "$@"; }
run_wine() { as_wine_user "$WINE" "$@"; }

# From here on Wine runs as an unprivileged user, in prefixes of its own whose
# Windows directory and system folders it cannot write, as a program on
# Windows runs unelevated (Wine run by root writes anywhere, read-only files
# too). Root runs it as LUMARO_TEST_USER (lumaro-test unless set), made here
# with a home of its own if missing; anyone else as themselves. That user must
# read the source and build trees: a parent directory it cannot enter (a
# checkout under /root) is opened to others for entering only.
use_test_user() {
  TEST_PREFIXES=1
  use_wine "$WINEARCH"
  if [ "$(id -u)" -ne 0 ]; then
    unset LUMARO_WINE_USER
    return 0
  fi
  export LUMARO_WINE_USER="${LUMARO_TEST_USER:-lumaro-test}"
  if ! id -u "$LUMARO_WINE_USER" >/dev/null 2>&1; then
    useradd --create-home --user-group --shell /usr/sbin/nologin \
      --comment "Lumaro's tests under Wine" "$LUMARO_WINE_USER"
  fi
  local home
  home=$(getent passwd "$LUMARO_WINE_USER" | cut -d: -f6)
  if [ ! -d "$home" ]; then
    mkdir -p "$home"
    chown "$LUMARO_WINE_USER:" "$home"
  fi
  local dir="$ROOT"
  while [ "$dir" != / ]; do
    if ! as_wine_user test -x "$dir"; then
      echo "use_test_user: letting $LUMARO_WINE_USER enter $dir (chmod o+x)" >&2
      chmod o+x "$dir"
    fi
    dir=$(dirname "$dir")
  done
  if ! as_wine_user test -r "$ROOT/tests" -a -x "$ROOT/tests" -a -r "$ROOT/build" -a -x "$ROOT/build"; then
    echo "use_test_user: $LUMARO_WINE_USER cannot read $ROOT/tests or $ROOT/build" >&2
    return 1
  fi
}

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

# What a program on Windows, unelevated, cannot write in the prefix: the
# Windows directory and the system folders, nor the files in them (a file left
# there, say by root's run, must not stay writable either). chmod_windows_dirs
# u+w opens them for Wine's own setup or update, a-w closes them again.
chmod_windows_dirs() {
  local d dirs=()
  for d in windows windows/system32 windows/syswow64; do
    [ -d "$WINEPREFIX/drive_c/$d" ] && dirs+=("$WINEPREFIX/drive_c/$d")
  done
  [ ${#dirs[@]} -eq 0 ] && return 0
  chmod "$1" "${dirs[@]}"
  find "${dirs[@]}" -maxdepth 1 -type f -exec chmod "$1" {} +
}

# Makes the Wine prefix on first use and keeps a wineserver running for it.
# In use_test_user's mode the prefix belongs to the user who runs Wine (a
# prefix of someone else's, as root's from an older run, is handed over), and
# its Windows directory is read-only once Wine has set it up or updated it.
start_wine() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ -n "${LUMARO_WINE_USER:-}" ]; then
    mkdir -p "$WINEPREFIX"
    if [ "$(stat -c %U "$WINEPREFIX")" != "$LUMARO_WINE_USER" ]; then
      chown -R -h "$LUMARO_WINE_USER:" "$WINEPREFIX"
    fi
  fi
  if [ -n "$TEST_PREFIXES" ]; then
    chmod_windows_dirs u+w
    rm -f "$WINEPREFIX"/drive_c/windows/lumaro-probe.txt "$WINEPREFIX"/drive_c/windows/system32/lumaro-probe.txt
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # wineboot returns while the prefix's services are still being set up;
    # a process started meanwhile runs wineboot again and leaves a second set
    # of services, with which the RPC service cannot start, and every later
    # window then waits 10 s or more for the desktop. Wait for all to end.
    run_wine wineboot -i >/dev/null 2>&1 || true
    as_wine_user timeout 120 wineserver -w >/dev/null 2>&1 || true
  fi
  # Debian's Wine does not look in its own font folder: without these the
  # dialog's "MS Sans Serif" falls back to a wider face and the layout grows.
  as_wine_user mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  as_wine_user cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  as_wine_user wineserver -p >/dev/null 2>&1 || true
  run_wine cmd /c exit >/dev/null 2>&1 || true   # first start (or a new Wine's update): let the prefix settle
  # Our X servers run no window manager: Wine is told so, or every window it
  # thinks managed (any activated one) waits 2 s for one as it is hidden.
  run_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  if [ -n "$TEST_PREFIXES" ]; then
    chmod_windows_dirs a-w
    check_windows_dir_read_only
  fi
}

# Fails loudly unless the tests' Wine writes C:\ but neither C:\windows (a new
# file, or one there) nor C:\windows\system32.
check_windows_dir_read_only() {
  local c="$WINEPREFIX/drive_c"
  local before
  before=$(cksum <"$c/windows/win.ini" 2>/dev/null || true)
  run_wine cmd /c 'echo x>C:\lumaro-probe.txt & echo x>C:\windows\lumaro-probe.txt & echo x>>C:\windows\win.ini & echo x>C:\windows\system32\lumaro-probe.txt' \
    >/dev/null 2>&1 || true
  local ok=1
  if [ "$(cksum <"$c/windows/win.ini" 2>/dev/null || true)" != "$before" ]; then
    echo "start_wine: Wine as ${LUMARO_WINE_USER:-$(id -un)} changed C:\\windows\\win.ini: the Windows directory is not read-only" >&2
    ok=0
  fi
  if [ ! -f "$c/lumaro-probe.txt" ]; then
    echo "start_wine: Wine as ${LUMARO_WINE_USER:-$(id -un)} did not write C:\ in $WINEPREFIX" >&2
    ok=0
  fi
  local d
  for d in windows windows/system32; do
    if [ -e "$c/$d/lumaro-probe.txt" ]; then
      echo "start_wine: Wine as ${LUMARO_WINE_USER:-$(id -un)} wrote in C:\\${d//\//\\}: the Windows directory is not read-only" >&2
      ok=0
    fi
  done
  rm -f "$c/lumaro-probe.txt"
  [ $ok -eq 1 ]
}

stop_all() {
  as_wine_user wineserver -k >/dev/null 2>&1 || true
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
