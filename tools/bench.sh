#!/bin/sh
# Measures what Nimvara costs its user against the smallest possible tray
# program (tools/bench/reference_tray.cpp), under Wine on this machine, and
# writes build/bench/report.md. Usage: tools/bench.sh [--quick]
# --quick: one repetition, short idle windows and small sizes (CI runs it so
# that the benchmark cannot rot; its numbers mean little).
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
quick=0
[ "${1:-}" = "--quick" ] && quick=1

if [ "${NIMVARA_BENCH_INSIDE:-}" != 1 ]; then
  tools/setup.sh
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target nimvara nimvara_ctl reference_tray bench_probe catalogue_bench download_bench
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 --target nimvara reference_tray
  # A network namespace of its own: the stand-ins bind loopback port 80 and
  # meet nothing else running on the machine.
  exec unshare -n env NIMVARA_BENCH_INSIDE=1 sh "$0" "$@"
fi

ip link set lo up
# An Ethernet adapter for the installation identifier (a namespace has none).
ip link add bench0 type veth peer name bench1 2>/dev/null && ip link set bench0 up ||
  echo "bench: no adapter made; the installation id has none to read"

if [ "$quick" -eq 1 ]; then reps=1 idle=5 sizes="10 1000" download_mb=5
else reps=${BENCH_REPS:-5} idle=${BENCH_IDLE_SECONDS:-60} sizes="10 10000" download_mb=50; fi

bench="$root/build/bench"
rm -rf "$bench"
mkdir -p "$bench"
results="$bench/results.txt"
: >"$results"
export WINEPREFIX="$bench/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY="${BENCH_DISPLAY:-:89}"
unset http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY
wine=/usr/lib/wine/wine64
win="$root/build/win64"
probe="$win/bench_probe.exe"
ctl="$win/nimvara_ctl.exe"
catalogue="$root/tools/services/sample_catalogue.txt"
key=$(sed -n 's/^NIMVARA_SCRAMBLE_KEY:STRING=//p' "$win/CMakeCache.txt")
signing_key=$(sed -n 's/^NIMVARA_DIRECTORY_KEY:FILEPATH=//p' "$win/CMakeCache.txt")

pids=""
cleanup() {
  /usr/lib/wine/wineserver64 -k 2>/dev/null || true
  python3 tools/services/session_services.py stop "$bench/session" 2>/dev/null || true
  python3 tools/services/directory_server.py stop "$bench/directory" 2>/dev/null || true
  for p in $pids; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT INT TERM

if [ ! -e "/tmp/.X11-unix/X${DISPLAY#:}" ]; then
  setsid Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  pids="$pids $!"
fi
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver64 -p
$wine wineboot </dev/null >/dev/null 2>&1
$wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
$wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d true /f </dev/null >/dev/null 2>&1

python3 tools/services/directory_server.py start "$bench/directory" --catalogue "$catalogue" --key "${key:-N}" \
  ${signing_key:+--signing-key "$signing_key"} \
  --modes "good good good"
python3 tools/services/session_services.py start "$bench/session" --catalogue "$catalogue"

appdata=$($wine winepath -u "$($wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)
data="$appdata/Nimvara"
profile="$appdata/Mozilla/Firefox/Profiles/b3nch.default-release"
mkdir -p "$data" "$profile"
printf '[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/b3nch.default-release\r\nDefault=1\r\n' \
  >"$appdata/Mozilla/Firefox/profiles.ini"

record() { echo "$1 $2 $3" >>"$results"; }  # record <figure> <subject> <value>

windows_path() { $wine winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# The newest Linux process of a Windows program (Wine names it by its Windows path).
linux_pid() { pgrep -n -f "^[A-Z]:.*\\\\$1" || true; }

# CPU ticks (1/100 s) and context switches of all its threads over a window.
idle_cost() {  # idle_cost <linux pid> <subject>
  t0=$(awk '{print $14 + $15}' "/proc/$1/stat")
  s0=$(cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}')
  sleep "$idle"
  t1=$(awk '{print $14 + $15}' "/proc/$1/stat")
  s1=$(cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}')
  record idle_cpu_ms "$2" $(( (t1 - t0) * 10 ))
  record idle_wakeups "$2" $(( s1 - s0 ))
}

start_and_wait_icon() {  # start_and_wait_icon <exe>: sets $ms and $pid
  $wine "$probe" start "$(windows_path "$1")" 60 >"$bench/probe.out" </dev/null
  ms=$(cut -d' ' -f1 "$bench/probe.out")
  pid=$(cut -d' ' -f2 "$bench/probe.out")
}

private_bytes() { $wine "$probe" memory "$1" >"$bench/probe.out" </dev/null && cat "$bench/probe.out"; }

# What the process really keeps to itself: Linux's private dirty pages. Windows
# reports its commit charge instead; Wine 8 answers with the anonymous resident
# pages plus swap, so here the two agree unless the process was swapped out.
private_dirty() { awk '/^Private_Dirty:/ {print $2 * 1024}' "/proc/$1/smaps_rollup"; }

# Milliseconds from the log line "UpdateVerify-k OK" to "Umbrix ON".
reply_to_switch() {
  python3 - "$data/report.txt" <<'PY'
import re, sys
stamps = {}
for line in open(sys.argv[1], encoding="latin-1"):
    m = re.match(r"\[ (\d+)\D(\d+)\D(\d+)\D(\d+) .*?\] (.*?)\r?$", line)
    if not m:
        continue
    h, n, s, z, text = m.groups()
    ms = ((int(h) * 60 + int(n)) * 60 + int(s)) * 1000 + int(z)
    if re.fullmatch(r"UpdateVerify-\d OK", text):
        stamps["accepted"] = ms
    elif text == "Umbrix ON" and "accepted" in stamps and "on" not in stamps:
        stamps["on"] = ms
print(stamps["on"] - stamps["accepted"] if len(stamps) == 2 else "")
PY
}

write_settings() {
  rm -f "$data/report.txt" "$profile/user.js"
  printf '[Config]\r\nVersion=1.05\r\nFirstRun=0\r\nAutoSelectCountry=1\r\nLastCountry=1\r\nBrowserIE=1\r\nBrowserFirefox=1\r\nFirefoxControlMode=1\r\n' \
    >"$data/nimvara.ini"
}

wait_for_log() {  # wait_for_log <text> <seconds>
  for _ in $(seq $(( $2 * 10 ))); do
    grep -q "$1" "$data/report.txt" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "bench: \"$1\" never reached the log" >&2
  return 1
}

echo "== start to tray icon, reply to switch, memory, idle ($reps repetitions)"
for i in $(seq "$reps"); do
  start_and_wait_icon "$win/reference_tray.exe"
  record start_to_tray_ms reference "$ms"
  sleep 1
  record private_bytes_after_start reference "$(private_bytes "$pid")"
  record private_dirty_bytes reference "$(private_dirty "$(linux_pid reference_tray.exe)")"
  if [ "$i" -eq 1 ]; then
    idle_cost "$(linux_pid reference_tray.exe)" reference
    record private_bytes_after_session reference "$(private_bytes "$pid")"
  fi
  $wine "$probe" close "$pid" </dev/null

  write_settings
  start_and_wait_icon "$win/nimvara.exe"
  record start_to_tray_ms nimvara "$ms"
  wait_for_log "Umbrix ON" 30
  record reply_to_switch_ms nimvara "$(reply_to_switch)"
  sleep 1
  record private_bytes_after_start nimvara "$(private_bytes "$pid")"
  # The session is on: the program as a user has it running.
  record private_dirty_bytes nimvara "$(private_dirty "$(linux_pid nimvara.exe)")"
  if [ "$i" -eq 1 ]; then
    grep -q "network.proxy.socks\"" "$profile/user.js" 2>/dev/null ||
      echo "bench: no user.js written" >&2
    lpid=$(linux_pid nimvara.exe)
    idle_cost "$lpid" nimvara_on
    # Stop and start the session a few times, then rest in the off state.
    for _ in 1 2 3; do
      $wine "$ctl" choose s 10 </dev/null; sleep 0.5
      $wine "$ctl" choose u 10 </dev/null; sleep 0.5
    done
    $wine "$ctl" choose s 10 </dev/null; sleep 1
    idle_cost "$lpid" nimvara_off
    record private_bytes_after_session nimvara "$(private_bytes "$pid")"
  fi
  $wine "$ctl" exit 30 </dev/null
done

echo "== exe size"
for arch in win64 win32; do
  record exe_bytes "nimvara_$arch" "$(stat -c %s "$root/build/$arch/nimvara.exe")"
  record exe_bytes "reference_$arch" "$(stat -c %s "$root/build/$arch/reference_tray.exe")"
done

echo "== catalogue scale: $sizes"
$wine "$win/catalogue_bench.exe" "$reps" $sizes </dev/null >"$bench/catalogue.out"
while read -r n parse list; do
  record "catalogue_parse_ms_$n" nimvara "$parse"
  record "catalogue_list_ms_$n" nimvara "$list"
done <"$bench/catalogue.out"

echo "== self-update download: a signed ${download_mb} MB program from a loopback server"
# A program padded to the size with a section of random bytes, then signed
# with the build's publisher certificate, as the vendor's installer is.
mkdir -p "$bench/www"
head -c $(( download_mb * 1024 * 1024 )) /dev/urandom >"$bench/pad.bin"
x86_64-w64-mingw32-objcopy --add-section .pad="$bench/pad.bin" --set-section-flags .pad=readonly,data \
  "$win/reference_tray.exe" "$bench/padded.exe"
cert=$(sed -n 's/^NIMVARA_SIGNING_CERT:FILEPATH=//p' "$win/CMakeCache.txt")
keyfile=$(sed -n 's/^NIMVARA_SIGNING_KEY:FILEPATH=//p' "$win/CMakeCache.txt")
tools/sign.sh "$bench/padded.exe" "$bench/www/nimvara.exe" "$cert" "$keyfile"
rm -f "$bench/pad.bin" "$bench/padded.exe"
python3 -m http.server --bind 127.0.0.5 80 --directory "$bench/www" >"$bench/http.log" 2>&1 &
pids="$pids $!"
for _ in $(seq 50); do curl -s -o /dev/null http://127.0.0.5/ && break; sleep 0.1; done
url=http://127.0.0.5/nimvara.exe
target=$(windows_path "$bench")\\download.bin
for _ in $(seq "$reps"); do
  for mode in progress quiet; do
    # A fresh file each time, as an update's is: truncating the last run's
    # 50 MB took about 10 ms of the transfer's time.
    rm -f "$bench/download.bin"
    $wine "$win/download_bench.exe" "$url" "$target" "$mode" </dev/null >"$bench/download.out"
    read -r bytes seconds events <"$bench/download.out"
    subject=nimvara
    [ "$mode" = quiet ] && subject=nimvara_no_progress
    record download_rate_mb_s "$subject" "$(echo "$bytes $seconds" | awk '{printf "%.2f", $1 / 1048576 / $2}')"
    [ "$mode" = progress ] && record download_progress_events nimvara "$events"
  done
  record download_rate_mb_s curl "$(curl -s -o /dev/null -w '%{speed_download}' "$url" | awk '{printf "%.2f", $1 / 1048576}')"
done
rm -f "$bench/download.bin"

python3 tools/bench/report.py "$results" "$bench/report.md" "$quick"
cat "$bench/report.md"
