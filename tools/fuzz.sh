#!/bin/sh
# Fuzzes the directory reply handler's portable part for SECONDS (default 60):
#   tools/fuzz.sh [SECONDS]
# Builds build/fuzz with clang and libFuzzer, seeds the corpus with replies
# compiled from the stand-in's catalogues, and prints how many inputs ran.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target reply_fuzz >/dev/null
corpus=build/fuzz/corpus
mkdir -p "$corpus"
python3 tools/services/directory_reply.py tools/services/sample_catalogue.txt -o "$corpus/sample"
python3 tools/services/directory_reply.py tools/services/sample_catalogue.txt -o "$corpus/signed" \
  --signing-key build/fuzz/signing/directory.key
printf 'B=1\r\nC=2000000000\r\nP=6>6>\r\n1=1?<9 > > ?>\r\nc=0\n2=x\rE=1' >"$corpus/hostile"
build/fuzz/reply_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" 2>build/fuzz/last_run.log \
  || { tail -40 build/fuzz/last_run.log; exit 1; }
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' build/fuzz/last_run.log
tail -3 build/fuzz/last_run.log | grep -E '^#|Done' || true
