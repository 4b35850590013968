#!/bin/sh
# Installs what is missing, builds nimvara.exe, starts the stand-in vendor
# services on loopback (the directory servers, one proxy per catalogue host and
# the IP-check site, for tools/services/sample_catalogue.txt) and runs Nimvara
# under Wine with Firefox switched through its preference files.
# With a display (DISPLAY set) the program runs until you choose Exit in its
# tray menu: pick a server in the "Select IP" dialog, then click its icon in
# the "Wine System Tray" window with either button.
# Without a display it runs under Xvfb (DEMO_DISPLAY, default :88) from a first
# start: it picks a server itself, shows the WinINet setting and the user.js
# Nimvara wrote, loads the IP-check page in a real headless Firefox on that
# profile, exits through the tray menu and shows every browser direct again.
# Screenshots go to build/demo/. Either way the log, the settings file and the
# Run value are shown at the end. DEMO_DIRECTORY_MODES sets the stand-in
# directory servers' modes (default "good good good"; "down down down" shows
# the unblock dialog, and tools/services/directory_server.py describes the others).
# DEMO_NEW_VERSION=1 makes them announce a new version and serve the signed
# installer, which Nimvara downloads, checks and starts before it ends.
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
catalogue="$root/tools/services/sample_catalogue.txt"
key=$(sed -n 's/^NIMVARA_SCRAMBLE_KEY:STRING=//p' build/win64/CMakeCache.txt)
# The directory key the build made and pinned: the stand-ins sign with it.
signing_key=$(sed -n 's/^NIMVARA_DIRECTORY_KEY:FILEPATH=//p' build/win64/CMakeCache.txt)

pids=""
cleanup() {
  /usr/lib/wine/wineserver64 -k 2>/dev/null || true
  python3 tools/services/session_services.py stop "$demo/session" 2>/dev/null || true
  python3 tools/services/directory_server.py stop "$demo/directory" 2>/dev/null || true
  for p in $pids; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT INT TERM

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  export DISPLAY="${DEMO_DISPLAY:-:88}"
  if [ ! -e "/tmp/.X11-unix/X${DISPLAY#:}" ]; then
    setsid Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    pids="$pids $!"
  fi
  # Wine's first window process keeps the display it met: it must be up first.
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing a Wine prefix for the demo in $WINEPREFIX ..."
  $wine wineboot </dev/null >/dev/null 2>&1
  $wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d true /f </dev/null >/dev/null 2>&1
fi

# Under Xvfb there is no window manager: Wine draws the title bars itself.
managed=Y
[ "$headless" -eq 1 ] && managed=N
$wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d $managed /f </dev/null >/dev/null 2>&1

# Stand-in vendor services on loopback, all from one catalogue.
python3 tools/services/directory_server.py start "$demo/directory" --catalogue "$catalogue" --key "${key:-N}" \
  ${signing_key:+--signing-key "$signing_key"} \
  --modes "${DEMO_DIRECTORY_MODES:-good good good}"
python3 tools/services/session_services.py start "$demo/session" --catalogue "$catalogue"
if [ "${DEMO_NEW_VERSION:-0}" = 1 ]; then
  # Only a newer version may replace the running one: the installer stated one newer.
  cmake --build --preset win64 --target demo_installer
  mkdir -p "$demo/directory/download"
  cp build/win64/nimvara-setup-next.exe "$demo/directory/download/nimvara.exe"
  echo "new-version download/nimvara.exe" >>"$demo/directory/catalogue.txt"
fi

exe="$root/build/win64/nimvara.exe"
ctl="$root/build/win64/nimvara_ctl.exe"
appdata=$($wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
appdata_unix=$($wine winepath -u "$appdata" 2>/dev/null)
data="$appdata_unix/Nimvara"
# A Firefox profile for Nimvara to switch, as an installed Firefox leaves one.
profile="$appdata_unix/Mozilla/Firefox/Profiles/d3m0.default-release"
if [ ! -d "$profile" ]; then
  mkdir -p "$profile"
  printf '[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/d3m0.default-release\r\n\r\n[InstallDemo]\r\nDefault=Profiles/d3m0.default-release\r\nLocked=1\r\n' \
    >"$appdata_unix/Mozilla/Firefox/profiles.ini"
fi
# Headless, the demo shows a first start; Firefox follows the user.js it gets.
if [ "$headless" -eq 1 ]; then
  rm -rf "$data"
fi
if [ ! -f "$data/nimvara.ini" ]; then
  mkdir -p "$data"
  printf '[Config]\r\nFirefoxControlMode=1\r\n' >"$data/nimvara.ini"
fi

wininet() {
  $wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings' 2>/dev/null |
    tr -d '\r' | grep -E 'ProxyEnable|ProxyServer' || echo "    (no proxy values)"
}
firefox_sees() {  # firefox_sees <name>: loads the IP-check page, prints what the site saw
  python3 tools/firefox_headless.py "$profile" http://127.0.0.4/ "$demo/$1.png" --home "$demo/firefox-home" >/dev/null
  seen=$(sed -n 's/.*SEEN \/ from //p' "$demo/session/ipcheck.log" | tail -n 1)
  echo "Firefox loaded http://127.0.0.4/ and the IP-check site saw it come from: ${seen:-nothing}"
  echo "(screenshot: $demo/$1.png)"
}

# Headless: picks the first server of the first country in the selection
# dialog and shows what Nimvara switched, and what a real Firefox then sees.
pick_and_show() {
  sleep 1
  import -window root "$demo/select-ip.png"
  # The second row: the first server of the first country.
  $wine "$ctl" pick 1 10
  for _ in $(seq 100); do
    grep -q "Umbrix ON" "$data/report.txt" 2>/dev/null && break
    sleep 0.2
  done
  sleep 1
  chosen=$(sed -n 's/.*\] Select IP: //p' "$data/report.txt" | tr -d '\r' | tail -n 1)
  number=${chosen##*#}
    host=$(grep '^server ' "$catalogue" | sed -n "${number}p" | cut -d' ' -f3)
    echo "=== Nimvara chose: $chosen, the proxy on $host"
    echo "--- verification at the IP-check site:"
    grep 'ok.htm' "$demo/session/ipcheck.log" || echo "(none)"
    echo "--- WinINet (Internet Explorer, Chrome):"
    wininet
    echo "--- $profile/user.js:"
    tr -d '\r' <"$profile/user.js"
    firefox_sees firefox-through-proxy
}

printf "Starting Nimvara (data folder: %s\\Nimvara)\n" "$appdata"
if [ "$headless" -eq 0 ]; then
  $wine "$exe"
else
  $wine "$exe" </dev/null >/dev/null 2>&1 &
  $wine "$ctl" wait 60
  # The first start shows the tour's notice; read it and press OK.
  $wine "$ctl" ok 5 || true
  if $wine "$ctl" list 30; then
    pick_and_show
  else
    echo "=== No server list came up (directory modes: ${DEMO_DIRECTORY_MODES:-good good good})"
  fi
  sleep "${DEMO_SECONDS:-5}"
  import -window root "$demo/screenshot.png"
  $wine "$ctl" menu 10 && import -window root "$demo/tray-menu.png"
  $wine "$ctl" choose o 10 && sleep 1 && import -window root "$demo/options.png"
  echo "Screenshots: $demo/select-ip.png, screenshot.png, tray-menu.png, options.png"
  $wine "$ctl" exit 30 || true  # gone already after a self-update
  echo "=== After Exit"
  echo "--- WinINet:"
  wininet
  echo "--- user.js:"
  tr -d '\r' <"$profile/user.js" 2>/dev/null || echo "(none)"
  firefox_sees firefox-direct
fi
report="$data/report.txt"
[ -f "$report" ] && { echo "--- $report"; cat "$report"; }
ini="$data/nimvara.ini"
[ -f "$ini" ] && { echo "--- $ini"; cat "$ini"; }
echo "--- Run value \"Nimvara\""
$wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Nimvara 2>/dev/null | tr -d '\r' || echo "(none)"
