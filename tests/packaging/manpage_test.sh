#!/usr/bin/env bash
# The manual pages: the generator on help texts made up to hold what roff
# would misread, and the pages of the built programs against their --help.
#
#   manpage_test.sh MAKE_MANPAGE VRX4CTL PAGE.1.gz...
#
# Skipped (exit 77) where man-db is not installed.
set -u
make_manpage=$1 vrx4ctl=$2
shift 2
pages=("$@")

if ! command -v man >/dev/null; then
  echo "man is not installed: skipped"
  exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0 failed=0

ok() { passed=$((passed + 1)); }
fail() {
  failed=$((failed + 1))
  echo "FAIL: $*"
}

# Formats a page as lintian does; groff's warnings go to $2.
render() {
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" 2>"$2"
}

# The page as plain text on one line, blanks squeezed.
text_of() {
  LC_ALL=C.UTF-8 MANWIDTH=1000 man -l "$1" 2>/dev/null | tr -s ' \n' '  '
}

# has TEXT_FILE STRING...: each string appears (blanks squeezed).
has() {
  local file=$1 s
  shift
  for s in "$@"; do
    s=$(tr -s ' ' <<<"$s")
    if grep -qF -- "$s" "$file"; then ok; else fail "$(basename "$file"): no '$s'"; fi
  done
}

# --- The generator ---------------------------------------------------------
# A program whose help holds backslashes, a line that starts with a dot, an
# option described over two lines, text kept as typed, exit codes, examples.
cat >"$scratch/tool" <<'EOF'
#!/bin/sh
if [ "$1" = --help ]; then cat <<'HELP'
Usage: tool [options] FILE   (tool --help for this text)
Copies FILE to C:\backup over a serial line.

.hidden files are copied too; "\n" in a name stays as typed.
A table kept as typed follows.
  a   b
  cc  dd

  --speed N         baud rate, 9600 to 115200,
                    default 38400
  -q, --quiet       print nothing
  --path=DIR        where the files go

Exit codes:
  0  copied
130  interrupted

Examples:
  Copy one file:
    tool --speed 9600 notes.txt
HELP
exit 0; fi
exit 9
EOF
chmod +x "$scratch/tool"
if sh "$make_manpage" --program "$scratch/tool" --name tool --version 9.8.7 --date 2030-01-02 \
  --see-also "vrx4 vrx4ctl" --out "$scratch/tool.1"; then ok; else fail "make_manpage.sh failed on tool"; fi
roff=$scratch/tool.1
if gzip -t "$roff.gz" && cmp -s <(gzip -dc "$roff.gz") "$roff"; then ok; else fail "tool.1.gz is not tool.1 gzipped"; fi
# gzip -n: no file name (flags 00) and no time stamp in the header.
if [[ $(od -An -tx1 -N8 "$roff.gz" | tr -d ' \n') == 1f8b080000000000 ]]; then ok
else fail "tool.1.gz carries a name or a time stamp"; fi
# Roff's control characters do not reach roff unescaped.
if grep -q '^\\&\.hidden' "$roff" && ! grep -q '^\.hidden' "$roff"; then ok; else fail "a leading dot is not escaped"; fi
if grep -qF 'C:\ebackup' "$roff"; then ok; else fail "a backslash is not escaped"; fi
if grep -qF '\-\-speed' "$roff"; then ok; else fail "option hyphens are not escaped"; fi
if grep -q '^\.TH TOOL 1 "2030-01-02" "vrx4 9.8.7"' "$roff"; then ok; else fail "no .TH line with the date and version"; fi

render "$roff" "$scratch/warnings" >/dev/null
if [[ ! -s $scratch/warnings ]]; then ok; else fail "groff warns on tool.1: $(cat "$scratch/warnings")"; fi
text_of "$roff" >"$scratch/tool.txt"
has "$scratch/tool.txt" \
  "tool - copies FILE to C:\\backup over a serial line" \
  "Copies FILE to C:\\backup over a serial line." \
  ".hidden files are copied too; \"\\n\" in a name stays as typed." \
  "(tool --help for this text)" \
  "--speed N baud rate, 9600 to 115200, default 38400" \
  "-q, --quiet print nothing" "--path=DIR where the files go" \
  "EXIT STATUS" "130 interrupted" "EXAMPLES" "Copy one file:" "tool --speed 9600 notes.txt" \
  "vrx4(1), vrx4ctl(1)"
# Text kept as typed keeps its columns; an option's second line is filled
# into its paragraph.
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$roff" 2>/dev/null >"$scratch/tool.80"
if grep -q '^ *cc  dd$' "$scratch/tool.80"; then ok; else fail "the table lost its columns"; fi
if grep -q '^ *baud rate, 9600 to 115200, default 38400$' "$scratch/tool.80"; then ok
else fail "the second line of --speed is not in its paragraph"; fi
# The options follow the description under their own heading.
if [[ $(man -l "$roff" 2>/dev/null | grep '^[A-Z]' | sed 1d | tr '\n' ' ') == \
  "NAME SYNOPSIS DESCRIPTION OPTIONS EXIT STATUS EXAMPLES SEE ALSO "* ]]; then ok
else fail "the sections are not DESCRIPTION OPTIONS EXIT STATUS EXAMPLES SEE ALSO"; fi

# A program with commands: each command's own help under COMMANDS, without
# the options and exit codes each of them repeats.
cat >"$scratch/multi" <<'EOF'
#!/bin/sh
case "$1 $2" in
"--help ") printf 'Usage: multi COMMAND\nDoes two things.\n\nCommands:\n  multi up [--fast]\n  multi down\n\nExit codes:\n  0  done\n' ;;
"up --help") printf 'Usage: multi up [--fast]\n\nGoes up.\nStill going up.\n  kept as typed\nThen stops.\n\nOptions:\n  --fast  faster\n\nExit codes:\n  0  done\n' ;;
"down --help") printf 'Usage: multi down\n\nGoes down.\n\nExit codes:\n  0  done\n' ;;
*) exit 1 ;;
esac
EOF
chmod +x "$scratch/multi"
if sh "$make_manpage" --program "$scratch/multi" --name multi --version 1 --date 2030-01-02 --commands \
  --out "$scratch/multi.1"; then ok; else fail "make_manpage.sh failed on multi"; fi
text_of "$scratch/multi.1" >"$scratch/multi.txt"
has "$scratch/multi.txt" "COMMANDS" "multi up [--fast]" "Goes up. Still going up." "kept as typed" "Then stops." \
  "multi down" "Goes down."
if [[ $(grep -o 'done' "$scratch/multi.txt" | wc -l) == 1 ]] && ! grep -q faster "$scratch/multi.txt"; then ok
else fail "the commands' options or exit codes are repeated"; fi
render "$scratch/multi.1" "$scratch/warnings" >/dev/null
if [[ ! -s $scratch/warnings ]]; then ok; else fail "groff warns on multi.1: $(cat "$scratch/warnings")"; fi

# A help the generator cannot read is an error, and leaves no page behind.
printf '#!/bin/sh\necho "tool 1.0"\n' >"$scratch/nousage"
printf '#!/bin/sh\nprintf "Usage: nosummary\\n\\n  --a  b\\n"\n' >"$scratch/nosummary"
printf '#!/bin/sh\nprintf "Usage: failing\\nFails.\\n"; exit 3\n' >"$scratch/failing"
printf '#!/bin/sh\nprintf "Usage: wrongname [x]\\nIs named otherwise.\\n"\n' >"$scratch/renamed"
for bad in nousage nosummary failing renamed; do
  chmod +x "$scratch/$bad"
  name=$bad
  [[ $bad == renamed ]] && name=expected
  if sh "$make_manpage" --program "$scratch/$bad" --name "$name" --version 1 --date 2030-01-02 \
    --out "$scratch/$bad.1" 2>"$scratch/err"; then
    fail "make_manpage.sh accepted $bad"
  elif [[ -e $scratch/$bad.1 || ! -s $scratch/err ]]; then
    fail "make_manpage.sh left a page, or said nothing, for $bad"
  else ok; fi
done

# --- The built pages ---------------------------------------------------------
for page in "${pages[@]}"; do
  name=$(basename "$page" .1.gz)
  render "$page" "$scratch/warnings" >"$scratch/rendered"
  if [[ ! -s $scratch/warnings && -s $scratch/rendered ]]; then ok
  else fail "$name(1) does not render cleanly: $(cat "$scratch/warnings")"; fi
  if [[ $(lexgrog "$page" 2>/dev/null) == *"\"$name - "* ]]; then ok; else fail "$name(1) has no whatis line"; fi
  # The page was made from this help: every option line's option is there.
  text_of "$page" >"$scratch/$name.txt"
done

ctl=$scratch/vrx4ctl.txt
if [[ -s $ctl ]]; then
  overview=$("$vrx4ctl" --help)
  # Each command with the first line of what its own help says of it.
  for command in $(printf '%s\n' "$overview" | awk '/^Commands:$/ { on = 1; next } on && /^$/ { exit } on { print $2 }'); do
    about=$("$vrx4ctl" "$command" --help | sed -n '3p')
    has "$ctl" "$("$vrx4ctl" "$command" --help | sed -n '1s/^Usage: //p')" "$about"
  done
  # Every option, exit code and example of the overview.
  while read -r option rest; do has "$ctl" "$option $rest"; done < <(printf '%s\n' "$overview" |
    sed -n '/^Options:/,/^$/p' | grep '^  --' | sed 's/  */ /g; s/^ //')
  while read -r code rest; do has "$ctl" "$code $rest"; done < <(printf '%s\n' "$overview" |
    sed -n '/^Exit codes:/,/^$/p' | grep '^ *[0-9]' | sed 's/  */ /g; s/^ //')
  while read -r example; do has "$ctl" "$example"; done < <(printf '%s\n' "$overview" |
    sed -n '/^Examples:/,$p' | grep '^    vrx4ctl ' | sed 's/^ *//')
  has "$ctl" COMMANDS OPTIONS "EXIT STATUS" EXAMPLES "SEE ALSO"
else
  fail "no vrx4ctl page among: ${pages[*]}"
fi

echo "manual pages: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
