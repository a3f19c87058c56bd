#!/usr/bin/env bash
# cmake --install into a temporary prefix and check what lands there: the
# programs in one bin folder, the guide and its pictures, the desktop entries (each starting an
# installed program), the icons, the MIME type of design files, and that the
# installed launcher resolves the suite's programs to the installed ones, the
# AppStream metainfo and the manual pages.
# Usage: install_check.sh BUILD_DIR [CMAKE]
set -euo pipefail
build=$(cd "$1" && pwd)
cmake=${2:-cmake}
src=$(cd "$(dirname "$0")/../.." && pwd)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

"$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 \
  || { cat "$tmp/install.log"; echo "FAIL: cmake --install"; exit 1; }
bin=$prefix/bin
share=$prefix/share

# 1. Every program this build made is installed, together, in bin/.
for p in sleevegate sleeveguide sleevedesk sleeveindex; do
  if [ -x "$build/bin/$p" ]; then
    if [ -f "$bin/$p" ] && [ -x "$bin/$p" ]; then ok "bin/$p"; else fail "bin/$p missing"; fi
  else
    echo "note: $p is not built here; not checked"
  fi
done
for p in sleevegate sleeveguide; do
  [ -x "$bin/$p" ] || fail "bin/$p must be installed"
done
# Nothing of the build tree is needed at run time.
if command -v readelf >/dev/null; then
  for f in "$bin"/*; do
    if readelf -d "$f" 2>/dev/null | grep -E 'R(UN)?PATH' | grep -q "$build"; then
      fail "$f still points into the build tree"
    fi
  done
fi

# 2. The guide: in the viewer and as a document, the same text as docs/guide.md.
if QT_QPA_PLATFORM=offscreen "$bin/sleeveguide" --markdown >"$tmp/guide.md" 2>/dev/null \
   && cmp -s "$tmp/guide.md" "$src/docs/guide.md"; then
  ok "sleeveguide carries docs/guide.md"
else
  fail "sleeveguide --markdown differs from docs/guide.md"
fi
doc=$(find "$share/doc" -name guide.md 2>/dev/null | head -n 1)
if [ -n "$doc" ] && cmp -s "$doc" "$src/docs/guide.md"; then ok "${doc#$prefix/}"; else fail "guide.md not under share/doc"; fi
# Every picture the guide links lies beside it, as in docs/.
for name in $(grep -o '!\[[^]]*\]([^) ]*' "$src/docs/guide.md" | sed 's/.*(//'); do
  cmp -s "$(dirname "${doc:-/nonexistent}")/$name" "$src/docs/$name" && ok "guide picture $name" \
    || fail "guide picture $name is not installed beside guide.md"
done

# 3. PNG size from its header (bytes 16..23: width and height, big-endian).
png_size() {
  local b
  b=($(od -An -tu1 -j16 -N8 "$1"))
  echo "$(( (b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3] ))x$(( (b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7] ))"
}
is_png() { [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = "89504e470d0a1a0a" ]; }
check_icons() { # name kind
  local size f
  for size in 16 24 32 48 64 128 256; do
    f=$share/icons/hicolor/${size}x${size}/$2/$1.png
    if [ ! -f "$f" ]; then fail "icon $1 ${size}px missing"; continue; fi
    if ! is_png "$f" || [ "$(png_size "$f")" != "${size}x${size}" ]; then
      fail "icon $f is not a ${size}x${size} PNG"
    fi
  done
}

# 4. Desktop entries: one for each installed program that has a menu entry,
#    and each names an installed program and an installed icon.
for p in sleevegate sleevedesk sleeveindex; do
  if [ -x "$bin/$p" ] && [ ! -f "$share/applications/$p.desktop" ]; then
    fail "no desktop entry for $p"
  fi
done
entries=0
for d in "$share"/applications/*.desktop; do
  [ -f "$d" ] || continue
  entries=$((entries + 1))
  name=$(basename "$d")
  head -n 1 "$d" | grep -qx '\[Desktop Entry\]' || fail "$name: no [Desktop Entry] group first"
  grep -qx 'Type=Application' "$d" || fail "$name: not Type=Application"
  grep -q '^Name=.' "$d" || fail "$name: no Name"
  # The source's name finds every entry in a menu search.
  grep -Eq '^Keywords=(.*;)?sleeve;' "$d" || fail "$name: no 'sleeve' among its Keywords"
  exec_line=$(sed -n 's/^Exec=//p' "$d")
  program=${exec_line%% *}
  if [ "$program" != "${name%.desktop}" ]; then fail "$name: Exec=$exec_line names another program"; fi
  case $program in */*) fail "$name: Exec must be a bare name";; esac
  if [ -x "$bin/$program" ]; then ok "$name: Exec=$exec_line is installed"; else fail "$name: Exec=$program is not installed"; fi
  try=$(sed -n 's/^TryExec=//p' "$d")
  [ -z "$try" ] || [ -x "$bin/$try" ] || fail "$name: TryExec=$try is not installed"
  icon=$(sed -n 's/^Icon=//p' "$d")
  [ -n "$icon" ] && check_icons "$icon" apps
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$d" || fail "$name: desktop-file-validate"
  fi
done
[ "$entries" -ge 1 ] || fail "no desktop entries installed"
# The designer opens the design file it is given, so design files open in it.
if [ -f "$share/applications/sleevedesk.desktop" ]; then
  grep -qx 'Exec=sleevedesk %f' "$share/applications/sleevedesk.desktop" || fail "sleevedesk.desktop: Exec is not 'sleevedesk %f'"
  grep -qx 'MimeType=application/x-quirewell-design;' "$share/applications/sleevedesk.desktop" \
    || fail "sleevedesk.desktop: design files are not associated"
fi

# 5. The MIME type of design files, and its icon.
xml=$share/mime/packages/x-quirewell-design.xml
if [ -f "$xml" ]; then
  grep -q 'type="application/x-quirewell-design"' "$xml" && grep -q 'pattern="\*\.qwd"' "$xml" \
    && ok "MIME type for *.qwd" || fail "$xml lacks the type or its glob"
  if command -v xmllint >/dev/null; then xmllint --noout "$xml" || fail "$xml is not well-formed"; fi
  # The install registered it when the tool is there.
  if command -v update-mime-database >/dev/null; then
    grep -q '^[0-9]*:application/x-quirewell-design:\*\.qwd' "$share/mime/globs2" 2>/dev/null \
      && ok "MIME database knows *.qwd" || fail "update-mime-database did not register *.qwd"
  fi
else
  fail "no $xml"
fi
check_icons application-x-quirewell-design mimetypes

# 6. The installed launcher finds the installed programs beside itself (and
#    not elsewhere on the search path), by the names its buttons use.
for file in sleeveindex.exe sleevedesk.exe sleeveguide.exe; do
  p=${file%.exe}
  out=$(PATH=/usr/bin:/bin "$bin/sleevegate" --resolve "$file" 2>"$tmp/err") && status=0 || status=$?
  if [ -x "$bin/$p" ]; then
    if [ $status -eq 0 ] && [ "$out" = "$bin/$p" ]; then ok "sleevegate resolves $file to bin/$p"
    else fail "sleevegate --resolve $file gave '$out' ($(cat "$tmp/err"))"; fi
  else
    if [ $status -eq 2 ] && grep -q "not found" "$tmp/err"; then ok "sleevegate reports $file not found"
    else fail "sleevegate --resolve $file: expected 'not found', got '$out' $(cat "$tmp/err")"; fi
  fi
done

# 7. AppStream metainfo: valid, one for each desktop entry, launching it.
command -v appstreamcli >/dev/null || fail "appstreamcli is missing (scripts/install-deps.sh installs it)"
for d in "$share"/applications/*.desktop; do
  m=$(grep -l "<launchable type=\"desktop-id\">$(basename "$d")</launchable>" "$share"/metainfo/*.metainfo.xml 2>/dev/null)
  [ -n "$m" ] || { fail "no metainfo launches $(basename "$d")"; continue; }
  id=$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p' "$m")
  [ "$(basename "$m")" = "$id.metainfo.xml" ] || fail "$(basename "$m") holds the id $id"
  appstreamcli validate --no-net "$m" >"$tmp/as.log" 2>&1 && ok "appstreamcli validate $(basename "$m")" \
    || { cat "$tmp/as.log"; fail "appstreamcli validate $(basename "$m")"; }
done

# 8. Manual pages, rendered, naming every option and the version the program gives.
render() { if command -v man >/dev/null; then MANWIDTH=80 man -l "$1"; else groff -man -Tutf8 -ww "$1"; fi; }
for p in sleevedesk sleeveindex sleevegate; do
  page=$share/man/man1/$p.1
  [ -x "$bin/$p" ] || continue
  [ -f "$page" ] || { fail "no manual page $p.1 (help2man missing at build time?)"; continue; }
  render "$page" 2>"$tmp/man.err" | col -b >"$tmp/man.txt" || fail "$p.1 does not render"
  [ -s "$tmp/man.err" ] && { cat "$tmp/man.err"; fail "$p.1 renders with warnings"; }
  missing=$(QT_QPA_PLATFORM=offscreen "$bin/$p" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u \
    | while read -r o; do grep -q -- "$o" "$tmp/man.txt" || echo "$o"; done)
  version=$(QT_QPA_PLATFORM=offscreen "$bin/$p" --version 2>/dev/null)
  if [ -n "$missing" ] || ! grep -q "^NAME" "$tmp/man.txt" || ! grep -qF "${version##* }" "$tmp/man.txt"; then
    fail "$p.1 lacks ${missing:-its NAME or version $version}"
  else
    ok "man -l $p.1"
  fi
done
[ "$(QT_QPA_PLATFORM=offscreen "$bin/sleevegate" --version)" = "sleevegate $("$bin/sleevedesk" --version 2>/dev/null | sed 's/.* //')" ] \
  || fail "sleevegate --version is not 'sleevegate VERSION'"
"$bin/sleevegate" --resolve 2>/dev/null && status=0 || status=$?
[ $status -eq 1 ] || fail "sleevegate --resolve without NAME exits $status, not 1"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "install checks passed"
