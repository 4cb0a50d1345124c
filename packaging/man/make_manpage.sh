#!/bin/sh
# Writes a program's manual page from what the program itself prints for
# --help, so that the page says what the program says.
#
#   make_manpage.sh --program PATH --name NAME --version V --date YYYY-MM-DD
#                   [--commands] [--see-also "NAME NAME..."] --out FILE.1
#
# --commands: the program has commands (vrx4ctl read, ...): the page lists
# each one with what "PROGRAM COMMAND --help" prints.
# Writes FILE.1 and FILE.1.gz (gzip -9n, as Debian installs manual pages).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
program= name= version= date= commands=no see_also= out=

die() {
  echo "make_manpage.sh: $*" >&2
  exit 1
}

while [ $# -gt 0 ]; do
  case $1 in
    --program) program=$2; shift 2 ;;
    --name) name=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;
    --date) date=$2; shift 2 ;;
    --commands) commands=yes; shift ;;
    --see-also) see_also=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) die "unknown argument '$1'" ;;
  esac
done
[ -n "$program" ] && [ -n "$name" ] && [ -n "$version" ] && [ -n "$date" ] && [ -n "$out" ] ||
  die "usage: make_manpage.sh --program PATH --name NAME --version V --date D [--commands] [--see-also LIST] --out FILE"
[ -x "$program" ] || die "$program is not an executable"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# No display is needed for --help; keep the program away from one anyway.
help() {
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$program" "$@"
}

help --help >"$work/0.help" </dev/null || die "'$program --help' failed"
[ -s "$work/0.help" ] || die "'$program --help' printed nothing"
files="$work/0.help"

if [ "$commands" = yes ]; then
  # The command names are the second word of each line of the "Commands:"
  # block: "  vrx4ctl read --port P ...".
  list=$(awk -v name="$name" '
    /^Commands:$/ { inside = 1; next }
    inside && /^ *$/ { exit }
    inside && $1 == name { print $2 }' "$work/0.help")
  [ -n "$list" ] || die "'$program --help' has no Commands: block"
  i=0
  for command in $list; do
    i=$((i + 1))
    help "$command" --help >"$work/$i.help" </dev/null || die "'$program $command --help' failed"
    files="$files $work/$i.help"
  done
fi

# shellcheck disable=SC2086 # the temporary names hold no spaces
awk -v name="$name" -v section=1 -v version="$version" -v date="$date" -v see_also="$see_also" \
  -f "$here/help_to_roff.awk" $files >"$work/page"
mv "$work/page" "$out"
gzip -9n -c "$out" >"$work/page.gz"
mv "$work/page.gz" "$out.gz"
