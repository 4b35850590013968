#!/bin/sh
# Installs what is missing, builds nimvara.exe, starts the stand-in vendor
# services on loopback and runs Nimvara under Wine.
# With a display (DISPLAY set) the program runs until you choose Exit in its
# tray menu: click its icon in the "Wine System Tray" window with either
# button, open Options and About, change options and press OK. Without a
# display it runs under Xvfb for DEMO_SECONDS (default 20), leaves screenshots
# of the tray menu and the options window in build/demo/, then chooses Exit
# from its tray menu. Either way the settings file and the Run value are shown
# at the end. The stand-in directory servers serve
# tools/services/sample_catalogue.txt; DEMO_DIRECTORY_MODES sets their modes
# (default "good good good"; "down down down" shows the unblock dialog, and
# tools/services/directory_server.py describes the others). DEMO_NEW_VERSION=1
# makes them announce a new version and serve the signed installer.
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
  python3 tools/services/directory_server.py stop "$demo/directory" || true
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

# Under Xvfb there is no window manager: Wine draws the title bars itself.
managed=Y
[ "$headless" -eq 1 ] && managed=N
$wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d $managed /f </dev/null >/dev/null 2>&1

# Stand-in vendor services on loopback (each one is started when it exists).
for service in tools/services/*.py; do
  case "$service" in */directory_*.py) continue ;; esac
  [ -f "$service" ] || continue
  python3 "$service" </dev/null >"$demo/$(basename "$service" .py).log" 2>&1 &
  pids="$pids $!"
done

# The directory servers on 127.0.0.1-3 port 80, with the key the program was built with.
key=$(sed -n 's/^NIMVARA_SCRAMBLE_KEY:STRING=//p' build/win64/CMakeCache.txt)
python3 tools/services/directory_server.py start "$demo/directory" --key "${key:-N}" \
  --catalogue tools/services/sample_catalogue.txt --modes "${DEMO_DIRECTORY_MODES:-good good good}"
if [ "${DEMO_NEW_VERSION:-0}" = 1 ]; then
  cmake --build --preset win64 --target installer
  mkdir -p "$demo/directory/download"
  cp build/win64/nimvara-setup.exe "$demo/directory/download/nimvara.exe"
  echo new-version >>"$demo/directory/catalogue.txt"
fi

exe="$root/build/win64/nimvara.exe"
ctl="$root/build/win64/nimvara_ctl.exe"
datadir=$($wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
printf "Starting Nimvara (data folder: %s\\Nimvara)\n" "$datadir"
if [ "$headless" -eq 0 ]; then
  $wine "$exe"
else
  $wine "$exe" </dev/null >/dev/null 2>&1 &
  $wine "$ctl" wait 60
  # The first start shows the tour's notice; read it and press OK.
  $wine "$ctl" ok 5 || true
  sleep "${DEMO_SECONDS:-20}"
  import -window root "$demo/screenshot.png"
  $wine "$ctl" menu 10 && import -window root "$demo/tray-menu.png"
  $wine "$ctl" choose o 10 && sleep 1 && import -window root "$demo/options.png"
  echo "Screenshots: $demo/screenshot.png, tray-menu.png, options.png"
  $wine "$ctl" exit 30 || true  # gone already after a self-update
fi
report=$(find "$WINEPREFIX/drive_c/users" -path '*Nimvara/report.txt' | head -n 1)
[ -n "$report" ] && { echo "--- $report"; cat "$report"; }
echo "--- requests to the directory servers ($demo/directory/requests.log)"
grep -v '^ ' "$demo/directory/requests.log" 2>/dev/null || echo "(none)"
ini=$(find "$WINEPREFIX/drive_c/users" -path '*Nimvara/nimvara.ini' | head -n 1)
[ -n "$ini" ] && { echo "--- $ini"; cat "$ini"; }
echo "--- Run value \"Nimvara\""
$wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Nimvara 2>/dev/null | tr -d '\r' || echo "(none)"
