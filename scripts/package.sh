#!/usr/bin/env bash
# Builds both Windows programs and writes the release zips out/brimview-VERSION-win32.zip and
# out/brimview-VERSION-win64.zip, each a portable folder brimview/ with the stripped program of its
# machine type, its help file and its skin folder. VERSION is the file version of the program's
# own version record, the one the About box shows.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
bash scripts/setup.sh

# The fixed part of the version record starts with the signature FEEF04BD; the file version
# follows as two 32-bit words, major.minor and build.private.
version_of() {
  /usr/bin/python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
if at < 0:
    sys.exit(f"no version record in {sys.argv[1]}")
ms, ls = struct.unpack_from("<II", data, at + 8)
print(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")
PY
}

mkdir -p out
for arch in i686 x86_64; do
  bash scripts/build.sh "$arch" >/dev/null
  folder=dist bits=win32
  [ "$arch" = x86_64 ] && folder=dist64 bits=win64
  version=$(version_of "$folder/brimview.exe")
  stage=$(mktemp -d)
  # Only what ships: a trial run may have left settings in the folder.
  mkdir -p "$stage/brimview/skin"
  cp "$folder/brimview.exe" "$folder/brimview.chm" "$stage/brimview/"
  cp "$folder/skin/bg.bmp" "$stage/brimview/skin/"
  zip="out/brimview-$version-$bits.zip"
  rm -f "$zip"
  (cd "$stage" && zip -qr -X "$repo/$zip" brimview)
  rm -rf "$stage"
  echo "$zip"
done
