#!/bin/sh
# SPDX-License-Identifier: MIT
# Fuzzes the reply check and the device table for a bounded number of runs, starting from a
# copy of the seed corpus (the repository's corpus is never written). Fails on any crash.
#   usage: tests/fuzz/run-fuzzer.sh BUILD_DIR [RUNS]
# BUILD_DIR is a build of the "fuzz" preset: cmake --preset fuzz -B BUILD_DIR
set -eu

build=${1:?usage: run-fuzzer.sh BUILD_DIR [RUNS]}
runs=${2:-1000000}
here=$(cd "$(dirname "$0")" && pwd)
fuzzer="$build/bin/fuzz_reply"

if [ ! -x "$fuzzer" ]; then
    echo "run-fuzzer.sh: $fuzzer not found; build the \"fuzz\" preset first" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cp "$here"/corpus/* "$work/corpus/"
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

start=$(date +%s)
# Inputs longer than the 201-byte receive buffer add nothing: the receive refuses them.
if "$fuzzer" -runs="$runs" -seed=1 -max_len=256 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$work/corpus" >"$work/log" 2>&1; then
    status=0
else
    status=$?
fi
end=$(date +%s)

tail -n 25 "$work/log"
if [ "$status" -ne 0 ]; then
    echo "run-fuzzer.sh: the fuzzer failed (status $status); inputs are in $artifacts" >&2
    exit 1
fi
if ! grep -q "Done $runs runs" "$work/log"; then
    echo "run-fuzzer.sh: the fuzzer stopped before $runs runs" >&2
    exit 1
fi
echo "run-fuzzer.sh: $runs runs without a failure in $((end - start)) s"
