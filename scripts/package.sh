#!/usr/bin/env bash
# Builds both Windows programs and writes the release:
#   out/brimview-VERSION-win32.zip and out/brimview-VERSION-win64.zip, each a portable folder
#     brimview/ with the stripped program of its machine type, its help file, its skin folder and
#     the license; VERSION is the file version of the program's own version record, the one the
#     About box shows;
#   out/SHA256SUMS, the zips' checksums as sha256sum writes them;
#   with --url BASE, where the zips are to be published: out/brimview.json, the Scoop manifest, and
#     out/winget/, the three winget manifests.
# The zips are the same bytes wherever and whenever one commit is packaged: their entries come in a
# fixed order with fixed permissions, and they, the program's header and the help file are all
# dated at the commit's time.
#   scripts/package.sh [--url BASE] [--out FOLDER]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
usage() { echo "usage: scripts/package.sh [--url https://...] [--out FOLDER]" >&2; exit 2; }
base= out=$repo/out
while (($#)); do
  case "$1" in
    --url) [[ "${2:-}" =~ ^https?://[^[:space:]]+$ ]] || usage; base=${2%/}; shift 2 ;;
    --out) [ -n "${2:-}" ] || usage; out=$(realpath -m -- "$2"); shift 2 ;;
    *) usage ;;
  esac
done
cd "$repo"
bash scripts/setup.sh
release() { /usr/bin/python3 scripts/release.py "$@"; }

epoch=$(git log -1 --format=%ct)
mkdir -p "$out"
rm -rf "$out/SHA256SUMS" "$out/brimview.json" "$out/winget" "$out"/brimview-*-win32.zip "$out"/brimview-*-win64.zip
zips=()
for arch in i686 x86_64; do
  # Only what ships is built: the tests are not needed for it.
  bash scripts/build.sh "$arch" brimview brimview_help >/dev/null
  folder=dist bits=win32
  [ "$arch" = x86_64 ] && folder=dist64 bits=win64
  stage=$(mktemp -d)
  # Only what ships: a trial run may have left settings in the folder.
  mkdir -p "$stage/brimview/skin"
  cp "$folder/brimview.chm" LICENSE "$stage/brimview/"
  # Stripped again, as strip dates the program's header at the time it runs, or at
  # SOURCE_DATE_EPOCH where that is set.
  SOURCE_DATE_EPOCH=$epoch "$arch-w64-mingw32-strip" -o "$stage/brimview/brimview.exe" "$folder/brimview.exe"
  cp "$folder/skin/bg.bmp" "$stage/brimview/skin/"
  release stamp-help "$stage/brimview/brimview.chm" "$epoch"
  zip="$out/brimview-$(release version "$folder/brimview.exe")-$bits.zip"
  release zip "$zip" "$stage" "$epoch"
  rm -rf "$stage"
  zips+=("$zip")
  echo "$zip"
done
(cd "$out" && sha256sum "${zips[@]##*/}" > SHA256SUMS)
echo "$out/SHA256SUMS"
if [ -n "$base" ]; then
  release manifests "$out" "$base" "${zips[@]}"
  echo "$out/brimview.json"
  echo "$out/winget/"
else
  echo "skipped: the Scoop and winget manifests (they need --url BASE, where the zips are to be published)"
fi
