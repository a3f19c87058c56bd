#!/usr/bin/env bash
# End to end: install the suite into a temporary prefix, start the installed
# launcher on a virtual screen (Xvfb), click its buttons, and check that each
# click starts the installed program from the launcher's own folder.
# Usage: e2e_launcher.sh BUILD_DIR [CMAKE]. Exits 77 (skipped) without Xvfb
# or xdotool.
set -euo pipefail
build=$(cd "$1" && pwd)
cmake=${2:-cmake}
. "$(dirname "$0")/../e2e/lib.sh" # e2e_until, e2e_wait_window, E2E_WAIT
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

tmp=$(mktemp -d)
prefix=$tmp/prefix
pids=()
cleanup() {
  # Only what this script started: its Xvfb and launcher, and the programs
  # whose executables lie in its own temporary prefix.
  for pid in $(started_from "$prefix/bin/") "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
# PIDs of running processes whose executable starts with $1.
started_from() {
  local exe
  for exe in $(find /proc -mindepth 2 -maxdepth 2 -name exe -lname "$1*" 2>/dev/null); do
    exe=${exe#/proc/}
    echo "${exe%/exe}"
  done
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 \
  || { cat "$tmp/install.log"; fail "cmake --install"; }
bin=$prefix/bin

# A screen of our own: Xvfb picks a free display and tells us its number.
# -noreset: see e2e_start_xvfb.
Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp -noreset 9>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
e2e_until "$E2E_WAIT" test -s "$tmp/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$tmp/display")"
export QT_QPA_PLATFORM=xcb
mkdir -p -m 700 "$tmp/runtime"
export XDG_RUNTIME_DIR=$tmp/runtime

# The installed launcher, with a search path that holds none of the suite:
# whatever it starts, it finds beside itself.
(cd "$tmp" && PATH=/usr/bin:/bin exec "$bin/sleevegate") >"$tmp/launcher.log" 2>&1 &
launcher=$!
pids+=("$launcher")
win=$(e2e_wait_window '^Quirewell Program Launcher$') || { cat "$tmp/launcher.log"; fail "the launcher's window did not appear"; }
echo "ok: launcher window $win"

# True once a process of program $1 runs that is not among $2; sets `after`.
new_process() {
  after=$(comm -13 <(echo "$2") <(started_from "$bin/$1" | sort) | head -n 1)
  [ -n "$after" ]
}

# Clicks the middle of a button (window coordinates) and waits for the
# installed program to run.
click_starts() { # x y program
  local before
  after=""
  before=$(started_from "$bin/$3" | sort)
  # No window manager here: bring the launcher over any window it opened.
  xdotool windowraise "$win"
  xdotool mousemove --window "$win" "$1" "$2" click 1
  e2e_until "$E2E_WAIT" new_process "$3" "$before" || { cat "$tmp/launcher.log"; fail "clicking at $1,$2 did not start $bin/$3"; }
  kill -0 "$launcher" 2>/dev/null || fail "the launcher ended after starting $3"
  echo "ok: click at $1,$2 started $bin/$3 (pid $after)"
}

click_starts 216 176 sleeveguide           # Command3 "Open Instructions"
e2e_wait_window '^Quirewell Instructions$' >/dev/null || fail "the guide's window did not appear"
echo "ok: the guide's window is up"
for pid in $(started_from "$bin/sleeveguide"); do kill "$pid"; done
if [ -x "$bin/sleevedesk" ]; then
  click_starts 380 216 sleevedesk          # Command2 "Run CD-R Custom Quirewell"
else
  echo "note: sleevedesk is not built; not clicked"
fi
if [ -x "$bin/sleeveindex" ]; then
  click_starts 52 216 sleeveindex          # Command1 "Run CD-R Data Index Quirewell"
else
  echo "note: sleeveindex is not built; not clicked"
fi
echo "end-to-end launcher checks passed"
