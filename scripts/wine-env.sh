# Sourced: the environment every Wine run of this project uses.
repo=${repo:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${BRIMVIEW_WINEPREFIX:-$repo/.wine}
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# ANSI code page 932, as on the Japanese systems the program is written for.
export LC_ALL=ja_JP.UTF-8
