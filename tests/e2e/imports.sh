#!/usr/bin/env bash
# The program is a 32-bit PE that imports only DLLs every Windows system has: the
# runtime is linked in statically, and msimg32 is looked up while it runs.
# usage: imports.sh brimview.exe
set -euo pipefail
export LC_ALL=C  # objdump speaks the locale's language
exe=$1
i686-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-i386' || { echo "not a 32-bit PE: $exe"; exit 1; }
allowed='^(kernel32\.dll|user32\.dll|gdi32\.dll|comctl32\.dll|shell32\.dll|version\.dll|mpr\.dll|oleaut32\.dll|msvcrt\.dll|hhctrl\.ocx)$'
status=0
while read -r dll; do
  if [[ ! "${dll,,}" =~ $allowed ]]; then
    echo "imports a DLL that is not the system's: $dll"
    status=1
  fi
done < <(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ $status = 0 ] && echo "32-bit PE importing only system DLLs"
exit $status
