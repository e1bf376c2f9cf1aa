#!/usr/bin/env bash
# Installs what Brimview needs to build and run on Debian 12 and prepares the
# project's own Wine prefix. Safe to run again: every step checks first.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

# Every failure names its step and why.
current_step=
trap 'echo "setup: failed while $current_step (exit $?)" >&2' ERR
fail() { echo "setup: $*" >&2; trap - ERR; exit 1; }

packages=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format googletest libgtest-dev
          mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
          # libxi6:i386: the 32-bit Wine needs it to confine the cursor (ClipCursor).
          wine wine32:i386 wine64 libxi6:i386 fonts-wine fonts-ipafont-gothic
          locales xvfb xauth x11-utils xdotool imagemagick fp-utils-3.2.2 file hyperfine
          # The help test reads the compiled help file's context tables.
          libchm-bin
          # The release test reads the winget manifests.
          python3-yaml
          # A drive that answers late, for the end-to-end tests: a FUSE file system in Python.
          python3-fusepy fuse3)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  current_step="adding the i386 architecture"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  # A mirror in the middle of a sync fails some index; the others still serve, so go on.
  current_step="updating the package lists"
  if ! apt-get update -qq >/dev/null 2>&1 && ! apt-get update -qq; then
    echo "setup: warning: apt-get update failed twice; installing from the lists there are" >&2
  fi
  # The release as target: the :i386 packages must match the amd64 versions installed, and an
  # index missing mid-sync would otherwise leave no matching pair.
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "setup: installing ${missing[*]}"
  current_step="installing packages"
  if ! log=$(DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -t "$release" \
               "${missing[@]}" 2>&1); then
    fail "could not install ${missing[*]}: $(grep -E '^(E|W):' <<<"$log" || tail -n 5 <<<"$log")"
  fi
fi

# Wine takes its code page from the locale: ja_JP gives the program code page 932.
current_step="generating the ja_JP.UTF-8 locale"
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# shellcheck source=wine-env.sh
source "$repo/scripts/wine-env.sh"
if [ ! -f "$WINEPREFIX/.brimview-ready" ]; then
  echo "setup: creating the Wine prefix $WINEPREFIX (with the loader of the $BRIMVIEW_RUN_ARCH build)"
  current_step="creating the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  if ! log=$(wineboot -i 2>&1); then
    fail "could not create the Wine prefix $WINEPREFIX: $(tail -n 5 <<<"$log")"
  fi
  wineserver -w
  current_step="linking the fonts into the Wine prefix"
  # Wine does not pick up its own fonts from /usr/share/wine/fonts here.
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  for f in /usr/share/wine/fonts/* /usr/share/fonts/opentype/ipafont-gothic/*.ttf; do
    ln -sf "$f" "$fonts/$(basename "$f")"
  done
  current_step="importing the prefix's registry settings"
  # regedit reads UTF-16 for the Japanese font names.
  sed 's/$/\r/' "$repo/scripts/prefix.reg" | iconv -f UTF-8 -t UTF-16 > "$WINEPREFIX/brimview.reg"
  wine regedit /S "$WINEPREFIX/brimview.reg" >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.brimview-ready"
fi
