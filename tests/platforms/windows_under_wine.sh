#!/usr/bin/env bash
# The Windows build under wine, headless: the replay tool on every fixture
# must print what the Linux build prints (Windows writes CR LF line ends),
# and x86ident.exe on this processor must replay to the same report.
#
#   windows_under_wine.sh MINGW_BUILD_DIR LINUX_REPLAY FIXTURES_DIR
set -uo pipefail
build=$1 replay=$2 fixtures=$3
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$tmp/wineprefix}
pass=0 fail=0
for dump in "$fixtures"/*.txt; do
  name=$(basename "$dump" .txt)
  timeout 300 "$wine" "$build/x86ident-replay.exe" --mark-pauses "$dump" </dev/null >"$tmp/$name.out" 2>/dev/null
  if tr -d '\r' <"$tmp/$name.out" | cmp -s - "$fixtures/$name.out"; then
    echo "ok: replay $name"; pass=$((pass + 1))
  else
    echo "FAILED: replay $name under wine"; fail=$((fail + 1))
  fi
done
setsid -w timeout 300 "$wine" "$build/x86ident.exe" </dev/null >"$tmp/this.txt" 2>/dev/null
tr -d '\r' <"$tmp/this.txt" >"$tmp/this-lf.txt"
if [ -s "$tmp/this-lf.txt" ] && "$replay" --no-pause "$tmp/this.txt" | cmp -s - "$tmp/this-lf.txt"; then
  echo "ok: x86ident.exe round trip"; pass=$((pass + 1))
else
  echo "FAILED: x86ident.exe round trip"; fail=$((fail + 1))
fi
echo "windows under wine: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
