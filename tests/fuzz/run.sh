#!/usr/bin/env bash
# Runs the settings-document fuzz target for a bounded time from the committed seeds.
# Usage: tests/fuzz/run.sh <build folder of the native-fuzz preset> [seconds, default 60]
# New inputs go to a scratch folder; a failing input is kept in the build folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-60}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$build/tests/fuzz/memini_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$build/tests/fuzz/" "$scratch" "$here/corpus"
