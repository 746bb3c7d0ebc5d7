#!/usr/bin/env bash
# Runs the fuzz targets, each seeded from its committed corpus under tests/fuzz/corpus/:
#   tests/fuzz/run-fuzz.sh [seconds per target] [target ...]
# Targets: reply values settings history server_data request import (default: all, one after the
# other). New inputs go to build/fuzz/work/<target>/ (KW_FUZZ_WORK moves it), a finding to
# <work>/<target>/crash-*.
# Reproduce a finding with: build/fuzz/fuzz_<target> <file>
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${KW_FUZZ_BUILD:-$here/build/fuzz}"
seconds="${1:-600}"
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(reply values settings history server_data request import)

for t in "${targets[@]}"; do
  bin="$build/fuzz_$t"
  if [ ! -x "$bin" ]; then
    echo "run-fuzz: $bin is missing (the build makes it when clang and libFuzzer are installed)" >&2
    exit 2
  fi
  work="${KW_FUZZ_WORK:-$build/work}/$t"
  mkdir -p "$work"
  echo "== $t: $seconds s"
  ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1}" "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/" "$work" "$here/tests/fuzz/corpus/$t"
done
