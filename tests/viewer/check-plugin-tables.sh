#!/bin/sh
# The plug-in imports only system DLLs and exports exactly its Lister
# functions, by their plain names. Usage: check-plugin-tables.sh DLL
dll=$1
dump=$(x86_64-w64-mingw32-objdump -p "$dll") || { echo "objdump failed on $dll"; exit 1; }
status=0
imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "no import table found"; exit 1; }
for name in $imports; do
  case "$name" in
    kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|shlwapi.dll|advapi32.dll|msvcrt.dll|ole32.dll|\
    oleaut32.dll|shell32.dll|comdlg32.dll|uxtheme.dll|api-ms-win-*) ;;
    *) echo "imports a non-system DLL: $name"; status=1 ;;
  esac
done
# The name table lines look like "	[   0] ListCloseWindow".
exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] \([^ ]*\)$/\1/p' | sort | tr '\n' ' ')
expected="ListCloseWindow ListGetDetectString ListGetPreviewBitmap ListGetPreviewBitmapW "\
"ListLoad ListLoadNext ListLoadNextW ListLoadW ListSearchText ListSearchTextW ListSendCommand "\
"ListSetDefaultParams "
if [ "$exports" != "$expected" ]; then
  echo "exports are '$exports', expected '$expected'"
  status=1
fi
[ $status -eq 0 ] && echo "imports: $(echo $imports); exports: $exports"
exit $status
