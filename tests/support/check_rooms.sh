#!/bin/sh
# The rooms in order: a source includes only its own room's headers and those of
# the rooms below it (platform < fontfile < text < viewer < plugin < tools); the
# content plug-in's room sits beside plugin and takes platform, fontfile and
# text only. tests, bench and fuzz may include anything. Also: orvane-info links
# no viewer library that needs the plug-in's process-wide state.
# Usage: check_rooms.sh SOURCE_DIR
cd "$1" || exit 2
rank() {
  case $1 in
    platform) echo 0 ;; fontfile) echo 1 ;; text) echo 2 ;; viewer) echo 3 ;;
    plugin) echo 4 ;; content) echo 4 ;; tools) echo 5 ;; *) echo -1 ;;
  esac
}
status=0
out=$(mktemp) || exit 2
for room in platform fontfile text viewer plugin content tools; do
  [ -d "$room" ] || continue
  own=$(rank "$room")
  # Each quoted include that names a room: "room/...".
  grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z_]+/' "$room" \
      --include='*.h' --include='*.cpp' --include='*.c' |
  while IFS= read -r hit; do
    target=$(printf '%s\n' "$hit" | sed -E 's/.*"([a-z_]+)\/$/\1/')
    there=$(rank "$target")
    [ "$there" -lt 0 ] && continue
    if [ "$there" -gt "$own" ] ||
       { [ "$room" = content ] && [ "$target" != content ] && [ "$there" -ge 3 ]; } ||
       { [ "$room" = plugin ] && [ "$target" = content ]; }; then
      echo "rooms: ${hit%:*} includes $target/ (a room above $room)"
      echo x
    fi
  done
done > "$out"
if grep -q '^x$' "$out"; then
  grep -v '^x$' "$out"
  status=1
fi
rm -f "$out"
if grep -qE 'target_link_libraries\(orvane_info[^)]*orvane_viewer([^_a-z]|$)' tools/orvane_info/CMakeLists.txt; then
  echo "rooms: orvane-info links the viewer library"
  status=1
fi
[ $status -eq 0 ] && echo "rooms in order"
exit $status
