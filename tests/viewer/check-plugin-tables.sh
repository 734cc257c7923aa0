#!/bin/sh
# The plug-in imports only system DLLs, exports exactly its Lister functions by
# their plain names, is built for the machine its bitness names, and carries the
# options dialog (900) and the version resource. Reads the file only, so it checks
# a DLL of either bitness on any machine. Usage: check-plugin-tables.sh DLL 32|64
# A .wdx or .wdx64 file is the content plug-in: its own functions, no dialog.
dll=$1 bits=$2
dump=$(x86_64-w64-mingw32-objdump -p "$dll") || { echo "objdump failed on $dll"; exit 1; }
status=0
case $bits in
  32) format=pei-i386 ;;
  64) format=pei-x86-64 ;;
  *) echo "usage: check-plugin-tables.sh DLL 32|64"; exit 2 ;;
esac
x86_64-w64-mingw32-objdump -f "$dll" | grep -q "file format $format\$" ||
  { echo "$dll is not a $bits-bit DLL ($format)"; status=1; }
# Resource directory entries as "TYPE/ID" in hexadecimal, from the lines
# "  Entry: ID: 0x000005" (a type) and "    Entry: ID: 0x000384" (a name under it).
resources=$(printf '%s\n' "$dump" | sed -n '/Resource Directory section/,/Resources start/p' |
  awk '{ id = $4; sub(/^0x0*/, "", id); sub(/,$/, "", id) }
       /^[0-9a-f]+   Entry: ID:/ { type = id }
       /^[0-9a-f]+     Entry: ID:/ { print type "/" id }' | sort | tr '\n' ' ')
# The dialog 900 (type 5) and the version resource 1 (type 16); the content
# plug-in has no dialog.
wanted_resources="5/384 10/1"
case $dll in *.wdx|*.wdx64) wanted_resources="10/1" ;; esac
for wanted in $wanted_resources; do
  case " $resources" in
    *" $wanted "*) ;;
    *) echo "no resource $wanted (type/id) among: $resources"; status=1 ;;
  esac
done
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
case $dll in
  *.wdx|*.wdx64)
    expected="ContentGetDetectString ContentGetSupportedField ContentGetValue ContentGetValueW "\
"ContentPluginUnloading ContentSetDefaultParams ContentStopGetValue ContentStopGetValueW " ;;
esac
if [ "$exports" != "$expected" ]; then
  echo "exports are '$exports', expected '$expected'"
  status=1
fi
[ $status -eq 0 ] && echo "$format; imports: $(echo $imports); exports: $exports; resources: $resources"
exit $status
