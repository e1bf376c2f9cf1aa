#!/usr/bin/env bash
# The program is a PE of its build's machine type that imports only the DLLs its window needs
# at start, all of them system DLLs: the runtime is linked in statically, msimg32 is looked up
# while it runs, and the DLLs of the rarely used actions (shell32, version, mpr, hhctrl.ocx,
# oleaut32) are loaded when an action first needs them.
# usage: imports.sh i686|x86_64 brimview.exe
set -euo pipefail
export LC_ALL=C  # objdump speaks the locale's language
arch=$1 exe=$2
case $arch in
  i686) format=pei-i386 kind="32-bit PE (i686)" ;;
  x86_64) format=pei-x86-64 kind="64-bit PE32+ (x86-64)" ;;
  *) echo "unknown machine type $arch"; exit 1 ;;
esac
objdump=$arch-w64-mingw32-objdump
$objdump -f "$exe" | grep -q "file format $format\$" || { echo "not a $kind: $exe"; exit 1; }
allowed='^(kernel32\.dll|user32\.dll|gdi32\.dll|comctl32\.dll|msvcrt\.dll)$'
status=0
while read -r dll; do
  if [[ ! "${dll,,}" =~ $allowed ]]; then
    echo "imports a DLL it does not need at start or that is not the system's: $dll"
    status=1
  fi
done < <($objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ $status = 0 ] && echo "$kind importing only system DLLs"
exit $status
