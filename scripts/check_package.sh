#!/usr/bin/env bash
# Makes the Debian package from a build tree and checks it as a user's
# system would see it: lintian (any error or warning fails), the desktop
# entry, the AppStream metadata, and the programs, manual pages and bash
# completion run from the unpacked package.
#
#   bash scripts/check_package.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
start=$SECONDS

scratch=$(mktemp -d)
sim_pid=
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "check_package: $*" >&2
  exit 1
}
step() { echo "== $*"; }

step "cpack -G DEB"
rm -f "$build"/vrx4_*.deb
(cd "$build" && cpack -G DEB >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack failed"; }
debs=("$build"/vrx4_*.deb)
[[ -f ${debs[0]} && ${#debs[@]} -eq 1 ]] || fail "cpack made no single vrx4_*.deb in $build"
deb=${debs[0]}
echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"

step "lintian"
# Informational tags are shown but pass; README.md says why each remains.
# (As root lintian says it would rather not run as root: a remark, no tag.)
lintian --fail-on error,warning --display-info "$deb" || fail "lintian reports errors or warnings"

step "unpacked"
root=$scratch/root
dpkg-deb -x "$deb" "$root"
desktop=$(find "$root/usr/share/applications" -name '*.desktop')
metainfo=$(find "$root/usr/share/metainfo" -name '*.metainfo.xml')
[[ $(wc -w <<<"$desktop") == 1 && $(wc -w <<<"$metainfo") == 1 ]] ||
  fail "expected one desktop entry and one metainfo file, found: $desktop $metainfo"
# The desktop entry is named after the AppStream component.
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
[[ $(basename "$desktop") == "$id.desktop" && $(basename "$metainfo") == "$id.metainfo.xml" ]] ||
  fail "component id $id does not name $(basename "$desktop") and $(basename "$metainfo")"
grep -qx 'Icon=vrx4' "$desktop" || fail "$desktop does not name the icon vrx4"
[[ -f $root/usr/share/icons/hicolor/scalable/apps/vrx4.svg ]] || fail "no scalable vrx4 icon"

step "desktop-file-validate"
desktop-file-validate "$desktop"

step "appstreamcli validate --no-net"
appstreamcli validate --no-net "$metainfo"
appstreamcli validate-tree --no-net "$root"

step "programs"
version=$("$root/usr/bin/vrx4" --version) && [[ $version == "vrx4 "* ]] || fail "vrx4 --version"
echo "$version"
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/vrx4" --help) == "Usage: vrx4 "* ]] || fail "vrx4 --help"
[[ $("$root/usr/bin/vrx4ctl" --help) == "Usage: vrx4ctl "* ]] || fail "vrx4ctl --help"
[[ $("$root/usr/bin/vrx4-sim" --help) == "Usage: vrx4-sim "* ]] || fail "vrx4-sim --help"
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/vrx4-report-pdf" --help) == "Usage: vrx4-report-pdf "* ]] ||
  fail "vrx4-report-pdf --help"
# The two command-line programs of the package talk to each other.
"$root/usr/bin/vrx4-sim" --link "$scratch/line" --duration 20 >"$scratch/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do [[ -e $scratch/line ]] && break; sleep 0.1; done
"$root/usr/bin/vrx4ctl" info --port "$scratch/line" --timeout 10 >"$scratch/info" ||
  { cat "$scratch/info" "$scratch/sim.log"; fail "vrx4ctl info against vrx4-sim"; }
grep -qi 'serial' "$scratch/info" || fail "vrx4ctl info printed no serial number"
# The report's PDF helper is found next to the installed vrx4ctl.
"$root/usr/bin/vrx4ctl" report --port "$scratch/line" --timeout 10 --out "$scratch/report.pdf" >"$scratch/report" 2>&1 ||
  { cat "$scratch/report" "$scratch/sim.log"; fail "vrx4ctl report against vrx4-sim"; }
[[ $(head -c 5 "$scratch/report.pdf") == "%PDF-" ]] || fail "vrx4ctl report wrote no PDF"
kill "$sim_pid" 2>/dev/null || true
wait "$sim_pid" 2>/dev/null || true
sim_pid=

step "manual pages"
for program in vrx4 vrx4ctl vrx4-sim vrx4-report-pdf; do
  page=$root/usr/share/man/man1/$program.1.gz
  [[ -f $page ]] || fail "no manual page $program(1)"
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >"$scratch/page" 2>"$scratch/warnings" ||
    fail "man -l $program.1.gz failed"
  [[ ! -s $scratch/warnings ]] || { cat "$scratch/warnings"; fail "man -l $program.1.gz warns"; }
  grep -q "^NAME" "$scratch/page" && grep -q "$program - " "$scratch/page" || fail "$program(1) has no NAME line"
  echo "$program(1): $(wc -l <"$scratch/page") lines"
done

step "bash completion"
completion=$root/usr/share/bash-completion/completions/vrx4ctl
[[ -f $completion ]] || fail "no bash completion for vrx4ctl"
offered=$(bash -c 'source "$1"; COMP_WORDS=(vrx4ctl mon); COMP_CWORD=1; _vrx4ctl vrx4ctl mon vrx4ctl; echo "${COMPREPLY[*]}"' _ "$completion")
[[ $offered == monitor ]] || fail "the completion of 'vrx4ctl mon' is '$offered'"

echo "package checked in $((SECONDS - start)) s: $(basename "$deb")"
