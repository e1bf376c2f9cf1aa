# Sourced: the environment every Wine run of this project uses.
# Sets BRIMVIEW_WINE_ARCHS to the Windows builds this host can run ("i686 x86_64", or "x86_64"
# where it runs 64-bit code only), and BRIMVIEW_NO_I686 to the reason when the 32-bit one cannot.
# Setting BRIMVIEW_WINE_ARCHS=x86_64 beforehand forces the 64-bit-only path on any host.
repo=${repo:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${BRIMVIEW_WINEPREFIX:-$repo/.wine}
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# ANSI code page 932, as on the Japanese systems the program is written for.
export LC_ALL=ja_JP.UTF-8

if [ -z "${BRIMVIEW_WINE_ARCHS:-}" ]; then
  # Tried, not guessed from the processor: some hosts refuse 32-bit programs ("Exec format error").
  if BRIMVIEW_NO_I686=$( (LC_ALL=C; /usr/lib/wine/wine --version) 2>&1 >/dev/null); then
    BRIMVIEW_WINE_ARCHS="i686 x86_64"
  else
    BRIMVIEW_WINE_ARCHS=x86_64
    BRIMVIEW_NO_I686="this host runs no 32-bit programs (/usr/lib/wine/wine: ${BRIMVIEW_NO_I686##*: })"
  fi
elif [[ " $BRIMVIEW_WINE_ARCHS " != *" i686 "* ]]; then
  BRIMVIEW_NO_I686=${BRIMVIEW_NO_I686:-"BRIMVIEW_WINE_ARCHS=$BRIMVIEW_WINE_ARCHS leaves it out"}
fi
export BRIMVIEW_WINE_ARCHS BRIMVIEW_NO_I686
# The build that runs the program: the 32-bit one, the primary target, wherever it can.
if [[ " $BRIMVIEW_WINE_ARCHS " == *" i686 "* ]]; then BRIMVIEW_RUN_ARCH=i686; else BRIMVIEW_RUN_ARCH=x86_64; fi
export BRIMVIEW_RUN_ARCH

# pe_arch EXE: the build a Windows program belongs to, i686 or x86_64.
pe_arch() { case "$(file -b "$1")" in PE32+*) echo x86_64 ;; PE32*) echo i686 ;; *) return 1 ;; esac; }
# use_wine_for ARCH: `wine` and `wineboot` run that build's programs from here on. They pick the
# 32-bit loader whenever wine32 is installed, so the 64-bit programs get the 64-bit one, which
# runs on every host.
use_wine_for() {
  local shims="$repo/scripts/wine64"
  PATH=${PATH//"$shims:"/}
  unset WINELOADER
  if [ "$1" = x86_64 ]; then
    export PATH="$shims:$PATH" WINELOADER=/usr/lib/wine/wine64
  fi
}
use_wine_for "$BRIMVIEW_RUN_ARCH"
