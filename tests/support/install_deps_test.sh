#!/bin/bash
# scripts/install-deps without the network: stand-in apt-get, dpkg, dpkg-query and
# id on PATH and a stand-in kernel probe, for a 64-bit-only kernel, a failing index
# update, a refused package and a refused 32-bit Wine. Checked: the exit status,
# the architectures added, the packages asked for and what the script says.
# Usage: install_deps_test.sh INSTALL_DEPS SCRATCH_DIR
install_deps=$1 dir=$2
rm -rf "$dir" && mkdir -p "$dir/bin" "$dir/third-party" || exit 1
for name in brotli woff2 harfbuzz; do
  mkdir -p "$dir/third-party/$name" && echo "$name" >"$dir/third-party/$name/.fetched"
done

cat >"$dir/bin/dpkg-query" <<'STAND_IN'
#!/bin/bash
# Every package is installed but those in FAKE_MISSING ("all": none is).
package=${!#}
[[ $FAKE_MISSING == all || " $FAKE_MISSING " == *" $package "* ]] && exit 1
printf 'install ok installed'
STAND_IN
cat >"$dir/bin/dpkg" <<'STAND_IN'
#!/bin/bash
echo "dpkg $*" >>"$FAKE_DIR/calls"
case $1 in
  --print-foreign-architectures) cat "$FAKE_DIR/arches" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$FAKE_DIR/arches" ;;
esac
STAND_IN
cat >"$dir/bin/apt-get" <<'STAND_IN'
#!/bin/bash
echo "apt-get $*" >>"$FAKE_DIR/calls"
for word; do
  case $word in
    update)
      count=$(cat "$FAKE_DIR/updates" 2>/dev/null || echo 0)
      echo $((count + 1)) >"$FAKE_DIR/updates"
      if [[ $count -lt ${FAKE_UPDATE_FAILS:-0} ]]; then
        echo "E: Failed to fetch http://archive/dists/security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
        exit 100
      fi
      exit 0 ;;
    install)
      for refused in $FAKE_REFUSE; do
        if [[ " $* " == *" $refused "* ]]; then
          cat <<APT
Reading package lists...
Some packages could not be installed. This may mean that you have
requested an impossible situation or if you are using the unstable
The following packages have unmet dependencies:
 $refused : Depends: libbrotli1:i386 (>= 0.6.0) but it is not going to be installed
            Depends: zlib1g:i386 (>= 1:1.1.4) but it is not going to be installed
E: Unable to correct problems, you have held broken packages.
APT
          exit 100
        fi
      done
      exit 0 ;;
  esac
done
STAND_IN
printf '#!/bin/sh\necho 0\n' >"$dir/bin/id"
printf '#!/bin/sh\nexit 0\n' >"$dir/probe-runs"
printf '#!/bin/sh\necho "this machine'"'"'s kernel runs no 32-bit programs"\nexit 1\n' >"$dir/probe-refuses"
chmod +x "$dir"/bin/* "$dir"/probe-*

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# name | probe | missing | index updates that fail | refused | status | asked | not asked | said
# "asked" and "not asked" are words the calls must (not) hold; "said" a pattern of
# the output (none: it is empty), which must have at most "lines" lines of the script's own.
while IFS='|' read -r name probe missing update_fails refused status asked not_asked said lines; do
  rm -f "$dir/calls" "$dir/updates" "$dir/arches" "$dir/out"
  FAKE_DIR=$dir FAKE_MISSING=$missing FAKE_UPDATE_FAILS=$update_fails FAKE_REFUSE=$refused \
    ORVANE_RUNS_32BIT=$dir/probe-$probe ORVANE_THIRD_PARTY_DIR=$dir/third-party \
    PATH=$dir/bin:$PATH "$install_deps" >"$dir/out" 2>&1
  got=$?
  [[ $got -eq $status ]] || fail "$name: exit status $got, not $status: $(cat "$dir/out")"
  for word in $asked; do
    grep -q -- "$word" "$dir/calls" 2>/dev/null || fail "$name: nothing asked for $word"
  done
  for word in $not_asked; do
    grep -- "$word" "$dir/calls" 2>/dev/null && fail "$name: asked for $word"
  done
  if [[ -z $said ]]; then
    [[ ! -s $dir/out ]] || fail "$name: said $(cat "$dir/out")"
  else
    grep -Eq -- "$said" "$dir/out" || fail "$name: '$said' not said in: $(cat "$dir/out")"
  fi
  said_lines=$(grep -c '^install-deps:' "$dir/out")
  [[ $said_lines -le $lines ]] || fail "$name: $said_lines lines said, more than $lines"
done <<'EOF'
64-bit kernel|refuses|all|0||0|install fonts-dejavu-core|i386 add-architecture|kernel runs no 32-bit programs: no i386 package|1
32-bit kernel|runs|all|0||0|add-architecture.i386 wine32:i386 fonts-dejavu-core||^Installing: .*wine32:i386|0
nothing missing, 32-bit kernel|runs||0||0||update install add-architecture||0
only 32-bit Wine missing|runs|wine32:i386|0||0|update wine32:i386|fonts-dejavu-core|^Installing:  ?wine32:i386|0
index fails once|refuses|cmake|1||0|install.*cmake||^Installing: cmake|1
index fails twice|refuses|cmake|9||0|install.*cmake||going on with those apt has: Failed to fetch .*binary-i386|2
needed package refused|refuses|all|0|fonts-noto-core|1||wine32|a needed package cannot be installed: fonts-noto-core : Depends: libbrotli1:i386|3
32-bit Wine refused|runs|all|0|wine32:i386|0|install.*cmake|| wine32:i386 cannot be installed, so the 32-bit tests will be skipped: wine32:i386 : Depends|1
EOF

# The index update is tried exactly twice when it keeps failing.
rm -f "$dir/calls" "$dir/updates"
FAKE_DIR=$dir FAKE_MISSING=cmake FAKE_UPDATE_FAILS=9 ORVANE_RUNS_32BIT=$dir/probe-refuses \
  ORVANE_THIRD_PARTY_DIR=$dir/third-party PATH=$dir/bin:$PATH "$install_deps" >/dev/null 2>&1
[[ $(cat "$dir/updates") -eq 2 ]] || fail "the index update ran $(cat "$dir/updates") times, not 2"

[[ $failures -eq 0 ]] && echo "install-deps: every case passed"
exit $((failures != 0))
