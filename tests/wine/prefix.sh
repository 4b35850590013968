#!/bin/sh
# Boots (setup) or shuts down (cleanup) the throw-away Wine prefix of a test run,
# with an Xvfb display of its own when that display is not there yet.
# Usage: prefix.sh setup|cleanup <prefix dir> <display, e.g. :87> [desktop keeper exe]
set -u
action=$1 prefix=$2 display=$3 keeper=${4:-}
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64
export WINEPREFIX="$prefix" DISPLAY="$display" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY
xvfb_pid_file="$prefix.xvfb.pid"

case "$action" in
setup)
  [ -d "$prefix" ] && "$server" -k 2>/dev/null
  rm -rf "$prefix"
  mkdir -p "$prefix"
  # The display must exist before wineboot: the prefix's desktop process keeps it.
  number=${display#:}
  if [ ! -e "/tmp/.X11-unix/X$number" ]; then
    setsid Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    echo $! >"$xvfb_pid_file"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
  fi
  # Everything Wine starts keeps its output handles: none may hold ctest's pipe.
  "$server" -p </dev/null >/dev/null 2>&1
  "$wine" wineboot </dev/null >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
  # Without a window manager every closing window would otherwise cost 2 s.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  # Opening a web page must not start a Linux browser.
  "$wine" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d true /f </dev/null >/dev/null 2>&1
  # The desktop process that wineboot started read the X11 settings before
  # Managed=N was there: with it, a tray icon's removal would take 2 s (the tray
  # window's hiding). Booted again, every process has the setting.
  "$server" -k 2>/dev/null
  "$server" -w 2>/dev/null
  "$server" -p </dev/null >/dev/null 2>&1
  "$wine" wineboot </dev/null >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
  # One desktop for the whole run, its process started here with no pipe of ctest's.
  if [ -n "$keeper" ]; then
    ready="$prefix.desktop-ready"
    rm -f "$ready"
    setsid "$wine" "$keeper" "Z:$ready" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do [ -e "$ready" ] && break; sleep 0.1; done
    [ -e "$ready" ] || { echo "the desktop keeper did not start" >&2; exit 1; }
  fi
  echo "Wine prefix ready: $prefix on display $display"
  ;;
cleanup)
  "$server" -k 2>/dev/null
  "$server" -w 2>/dev/null
  if [ -f "$xvfb_pid_file" ]; then
    kill "$(cat "$xvfb_pid_file")" 2>/dev/null
    rm -f "$xvfb_pid_file"
  fi
  ;;
esac
exit 0
