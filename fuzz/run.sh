#!/usr/bin/env bash
# Builds every fuzz target with clang (AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for SECONDS (default 60). Fails on any finding.
#   bash fuzz/run.sh [SECONDS] [TARGET...]
# FUZZ_JOBS=N runs N targets at a time (default 1); each target is one
# process, so more jobs than cores only slows every target down.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
jobs=${FUZZ_JOBS:-1}
build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZORP_BUILD_FUZZ=ON -DZORP_BUILD_GUI=OFF -DZORP_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=($(ls "$build/fuzz" | grep '^fuzz_' | sort))
fi
for t in "${targets[@]}"; do
  if [ ! -x "$build/fuzz/$t" ]; then
    echo "no fuzz target $t (have: $(ls "$build/fuzz" | grep '^fuzz_' | tr '\n' ' '))" >&2
    exit 2
  fi
done

# Runs one target; its summary goes to $build/$t.summary.
run_target() {
  local t=$1
  local corpus="$build/corpus/$t"
  mkdir -p "$corpus" "$build/findings/$t"
  # Seeds: the shipped seed files of the target, plus the real Kosinski and
  # Nemesis streams (and decoded tiles) for the codec targets and the
  # shipped data files.
  local seeds=()
  [ -d "fuzz/seeds/$t" ] && seeds+=("fuzz/seeds/$t")
  case "$t" in
    fuzz_kosinski_decode | fuzz_kosinski_roundtrip) [ -d ../shared/corpus/kosinski ] && seeds+=(../shared/corpus/kosinski) ;;
    fuzz_nemesis_decode | fuzz_nemesis_roundtrip) [ -d ../shared/corpus/nemesis ] && seeds+=(../shared/corpus/nemesis) ;;
    fuzz_s1_layout) [ -d ../shared/corpus/stages ] && mkdir -p "$build/seeds/$t" && cp ../shared/corpus/stages/s1-ss-layout-*.eni "$build/seeds/$t/" && seeds+=("$build/seeds/$t") ;;
    fuzz_enigma_*) [ -d ../shared/corpus/enigma ] && seeds+=(../shared/corpus/enigma) ;;
    fuzz_kosm_*) [ -d ../shared/corpus/kosm ] && seeds+=(../shared/corpus/kosm) ;;
    fuzz_definitions) mkdir -p "$build/seeds/$t" && cp data/ROM_DEF.RDEF "$build/seeds/$t/" && seeds+=("$build/seeds/$t") ;;
    fuzz_template) mkdir -p "$build/seeds/$t" && cp data/*.ZORP "$build/seeds/$t/" && seeds+=("$build/seeds/$t") ;;
    # The real decoded data where the corpus has it: the layout block, and
    # the level select map behind the tables of the shipped seed.
    fuzz_s2_object_lists)
      [ -f ../shared/corpus/nemesis/s2__misc__Special_stage_level_layouts.nem.dec ] && mkdir -p "$build/seeds/$t" &&
        cp ../shared/corpus/nemesis/s2__misc__Special_stage_level_layouts.nem.dec "$build/seeds/$t/" && seeds+=("$build/seeds/$t") ;;
    fuzz_s2_level_select)
      [ -f ../shared/corpus/enigma/s2__mappings__misc__Level_Select.eni.dec ] && mkdir -p "$build/seeds/$t" &&
        cat fuzz/seeds/$t/tables.bin ../shared/corpus/enigma/s2__mappings__misc__Level_Select.eni.dec >"$build/seeds/$t/real.bin" &&
        seeds+=("$build/seeds/$t") ;;
  esac
  # Longest input per target: long enough for what the target reads, short
  # enough that one execution stays cheap (each target must reach ten
  # million). The round trips skip longer inputs; a template block needs a
  # few lines; an SMD image needs its header and two 16 KiB blocks.
  local max_len=65536
  case "$t" in
    fuzz_kosinski_roundtrip | fuzz_kosm_roundtrip) max_len=512 ;;
    fuzz_enigma_roundtrip) max_len=128 ;;
    fuzz_nemesis_roundtrip) max_len=1024 ;;
    fuzz_template) max_len=2048 ;;
    fuzz_romformat) max_len=33280 ;;
  esac
  local status=0
  if ! LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan-suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}" "$build/fuzz/$t" -max_total_time="$seconds" -print_final_stats=1 -max_len="$max_len" \
       -artifact_prefix="$build/findings/$t/" "$corpus" "${seeds[@]}" 2>"$build/$t.log"; then
    status=1
  fi
  {
    echo "== $t (${seconds}s)"
    [ $status -ne 0 ] && echo "!! $t found a fault: see $build/$t.log and $build/findings/$t/"
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$build/$t.log" | sed "s/^/   /"
  } >"$build/$t.summary"
  return $status
}

status=0
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
  echo "-- starting $t for ${seconds}s"
  run_target "$t" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
for t in "${targets[@]}"; do
  cat "$build/$t.summary"
done
exit $status
