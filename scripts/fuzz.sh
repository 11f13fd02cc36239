#!/usr/bin/env bash
# Runs every fuzz program in BUILD_DIR for SECONDS each on a copy of its seed corpus.
# Any crash, hang, leak or sanitizer report fails the run.
set -euo pipefail
build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
# The targets that write their input to a file run far faster on a memory-backed folder.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
trap 'rm -rf "$work"' EXIT
failed=0
passed=0
for program in "$build"/fuzz/fuzz_*; do
  [ -x "$program" ] || continue
  name=$(basename "$program")
  name=${name#fuzz_}
  corpus="$work/$name"
  mkdir -p "$corpus" "$work/artifacts-$name"
  if [ -d "$root/fuzz/corpus/$name" ]; then
    cp -r "$root/fuzz/corpus/$name/." "$corpus/"
  fi
  dict=()
  if [ -f "$root/fuzz/$name.dict" ]; then
    dict=(-dict="$root/fuzz/$name.dict")
  fi
  echo "fuzz $name for ${seconds}s"
  if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 "$program" "${dict[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -artifact_prefix="$work/artifacts-$name/" "$corpus" >"$work/$name.log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "fuzz $name FAILED:"
    tail -n 60 "$work/$name.log"
    mkdir -p "$root/fuzz/artifacts"
    cp -r "$work/artifacts-$name/." "$root/fuzz/artifacts/" 2>/dev/null || true
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
