#!/usr/bin/env bash
# The program is a PE of its build's machine type that imports only the DLLs its window needs
# at start, all of them system DLLs: the runtime is linked in statically, msimg32 is looked up
# while it runs, and the DLLs of the rarely used actions (shell32, version, mpr, hhctrl.ocx,
# oleaut32) are loaded when an action first needs them. Its manifest names its machine type,
# asks for common controls 6, runs it as its invoker, lists the systems it supports (Windows 7,
# the oldest that has every function it imports, to 10 and 11, and not Vista) and
# declares it aware of each monitor's dpi.
# usage: imports.sh i686|x86_64 brimview.exe
set -euo pipefail
export LC_ALL=C  # objdump speaks the locale's language
arch=$1 exe=$2
case $arch in
  i686) format=pei-i386 kind="32-bit PE (i686)" processor=x86 ;;
  x86_64) format=pei-x86-64 kind="64-bit PE32+ (x86-64)" processor=amd64 ;;
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

# The manifest is stored as its text in the resources.
manifest=$(python3 -c 'import re, sys; m = re.search(rb"<\?xml.*?</assembly>", open(sys.argv[1], "rb").read(), re.S); print(m.group().decode() if m else "")' "$exe")
for element in \
  "name=\"Brimview\" version=\"1.0.0.0\" processorArchitecture=\"$processor\"" \
  'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
  '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' \
  '<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>' \
  '<supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>' \
  '<supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>' \
  '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
  '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' \
  '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>'; do
  if ! grep -qF -- "$element" <<< "$manifest"; then
    echo "the manifest lacks: $element"
    status=1
  fi
done
if grep -qF -- '{e2011457-1546-43c5-a5fe-008deee3d3f0}' <<< "$manifest"; then
  echo "the manifest lists Vista, which lacks SetThreadErrorMode and GetTickCount64"
  status=1
fi
[ $status = 0 ] && echo "$kind importing only system DLLs, its manifest complete"
exit $status
