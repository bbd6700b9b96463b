#!/usr/bin/env bash
# A user drops one file into a VST folder: the DLL may import Windows system DLLs only, and
# it must export exactly the two entry points.
set -euo pipefail
dll=$1
imports=$(x86_64-w64-mingw32-objdump -p "$dll" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
echo "Kavrel.dll imports: $(echo $imports)"
for name in $imports; do
  case "$name" in
    kernel32.dll|user32.dll|gdi32.dll|gdiplus.dll|ole32.dll|oleaut32.dll|shell32.dll|\
    advapi32.dll|comdlg32.dll|msvcrt.dll|ws2_32.dll|uuid.dll|comctl32.dll|shlwapi.dll|\
    msimg32.dll|api-ms-win-*) ;;
    *) echo "check-dll: $dll imports non-system $name" >&2; exit 1 ;;
  esac
done
exports=$(x86_64-w64-mingw32-objdump -p "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/ {t=1; next} t && NF==0 {t=0} t {print $NF}' | sort | tr '\n' ' ')
echo "Kavrel.dll exports: $exports"
if [ "$exports" != "VSTPluginMain main " ]; then
  echo "check-dll: unexpected exports" >&2
  exit 1
fi
