#!/bin/sh
# cmake/check-only: a compile is checked with the warnings it gives and leaves an
# empty output, a failed check leaves none, a link runs nothing, and a precompiled
# header is compiled as given.
# Usage: check_only_test.sh CHECK_ONLY SCRATCH_DIR
check_only=$1 dir=$2
rm -rf "$dir" && mkdir -p "$dir" && cd "$dir" || exit 1
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A stand-in compiler that records the arguments it was given.
cat >fake-cc <<'EOF'
#!/bin/sh
printf '%s\n' "$@" >"$(dirname "$0")/fake-cc.args"
EOF
chmod +x fake-cc

# Arguments as the build gives them, and the arguments the compiler must see.
while IFS='|' read -r name given seen; do
  rm -f fake-cc.args out.o out.gch
  # shellcheck disable=SC2086
  "$check_only" ./fake-cc $given || fail "$name: exit status $?"
  got=$(tr '\n' ' ' <fake-cc.args 2>/dev/null)
  [ "${got% }" = "$seen" ] || fail "$name: the compiler saw '${got% }', not '$seen'"
  case $seen in *-fsyntax-only) [ -f out.o ] || fail "$name: no output file" ;; esac
done <<'EOF'
object|-Wall -c a.cpp -o out.o -MF a.d|-Wall -c a.cpp -MF a.d -fsyntax-only
output first|-o out.o -c a.cpp|-c a.cpp -fsyntax-only
precompiled header|-x c++-header -c h.hxx -o out.gch|-x c++-header -c h.hxx -o out.gch
EOF

# A real compile: the warning is shown and the object is an empty file.
printf 'int f(unsigned a, int b) { return a < b; }\n' >warn.cpp
"$check_only" c++ -Wall -Wextra -c warn.cpp -o warn.o 2>warn.log || fail "a warning failed the check"
grep -q 'Wsign-compare' warn.log || fail "the warning was not shown: $(cat warn.log)"
[ -f warn.o ] && [ ! -s warn.o ] || fail "the checked object is not an empty file"

# A source that does not compile fails the step and leaves no output.
printf 'int f( {\n' >bad.cpp
if "$check_only" c++ -c bad.cpp -o bad.o 2>/dev/null; then fail "an error passed the check"; fi
[ ! -e bad.o ] || fail "a failed check left an output"

# A link runs nothing (the linker here would fail) and leaves the program and its
# import library empty.
"$check_only" --link false a.o -o prog.exe -Wl,--out-implib,libprog.dll.a ||
  fail "the link step ran the linker"
[ -f prog.exe ] && [ -f libprog.dll.a ] || fail "the link left no program or import library"

[ $failures -eq 0 ] && echo "check-only: every case passed"
exit $((failures != 0))
