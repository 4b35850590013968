#!/bin/sh
# Installs what is missing, builds nimvara.exe, starts the stand-in vendor
# services on loopback and runs Nimvara under Wine.
# With a display (DISPLAY set) the program runs until you choose Exit in its
# tray menu. Without one it runs under Xvfb for DEMO_SECONDS (default 20),
# leaves a screenshot in build/demo/screenshot.png, then ends as at logoff.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
tools/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target nimvara nimvara_ctl

demo="$root/build/demo"
mkdir -p "$demo"
export WINEPREFIX="$demo/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY
wine=/usr/lib/wine/wine64

pids=""
cleanup() {
  /usr/lib/wine/wineserver64 -k 2>/dev/null || true
  for p in $pids; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT INT TERM

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  export DISPLAY=:88
  if [ ! -e /tmp/.X11-unix/X88 ]; then
    setsid Xvfb :88 -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    pids="$pids $!"
    sleep 1
  fi
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing a Wine prefix for the demo in $WINEPREFIX ..."
  $wine wineboot --init </dev/null >/dev/null 2>&1
  $wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d true /f </dev/null >/dev/null 2>&1
fi

# Stand-in vendor services on loopback (each one is started when it exists).
for service in tools/services/*.py; do
  [ -f "$service" ] || continue
  python3 "$service" </dev/null >"$demo/$(basename "$service" .py).log" 2>&1 &
  pids="$pids $!"
done

exe="$root/build/win64/nimvara.exe"
ctl="$root/build/win64/nimvara_ctl.exe"
datadir=$($wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
printf "Starting Nimvara (data folder: %s\\Nimvara)\n" "$datadir"
if [ "$headless" -eq 0 ]; then
  $wine "$exe"
else
  $wine "$exe" </dev/null >/dev/null 2>&1 &
  $wine "$ctl" wait 60
  sleep "${DEMO_SECONDS:-20}"
  import -window root "$demo/screenshot.png"
  echo "Screenshot: $demo/screenshot.png"
  $wine "$ctl" endsession 30
fi
report=$(find "$WINEPREFIX/drive_c/users" -path '*Nimvara/report.txt' | head -n 1)
[ -n "$report" ] && { echo "--- $report"; cat "$report"; }
