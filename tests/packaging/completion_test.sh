#!/usr/bin/env bash
# The bash completion of vrx4ctl: what it offers for typed lines, and that
# its commands, options, pages and option values are the ones vrx4ctl's own
# help prints, so that neither can change without the other.
#
#   completion_test.sh COMPLETION VRX4CTL helpers|plain
#
# helpers: with bash-completion's functions loaded, as on a desktop (exit 77,
# skipped, where bash-completion is not installed); plain: without them.
set -u
completion=$1 vrx4ctl=$2 mode=$3

if [[ $mode == helpers ]]; then
  helpers=/usr/share/bash-completion/bash_completion
  if [[ ! -r $helpers ]]; then
    echo "bash-completion is not installed: skipped"
    exit 77
  fi
  # shellcheck source=/dev/null
  source "$helpers"
  declare -F _init_completion >/dev/null || { echo "FAIL: $helpers has no _init_completion"; exit 1; }
fi
# shellcheck source=/dev/null
source "$completion"
complete -p vrx4ctl >/dev/null || { echo "FAIL: the file registers no completion for vrx4ctl"; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0 failed=0

# Fills COMPREPLY for LINE, the cursor at its end, with the words split as
# readline splits them: at blanks, and around "=" and ":".
complete_line() {
  local line=$1 word= c i last=
  COMP_WORDS=()
  for ((i = 0; i < ${#line}; i++)); do
    c=${line:i:1}
    case $c in
      ' ') [[ -n $word ]] && COMP_WORDS+=("$word"); word= ;;
      '=' | ':') [[ -n $word ]] && COMP_WORDS+=("$word"); COMP_WORDS+=("$c"); word= ;;
      *) word+=$c ;;
    esac
    last=$c
  done
  # A line that ends in "=" or ":" completes that very word.
  if [[ -n $word || $last == ' ' || -z $line ]]; then COMP_WORDS+=("$word"); fi
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMPREPLY=()
  _vrx4ctl vrx4ctl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
}

sorted() { printf '%s\n' "$@" | sed '/^$/d' | sort -u | tr '\n' ' '; }

# expect LINE WORD... : the completion of LINE offers exactly these words.
expect() {
  local line=$1
  shift
  complete_line "$line"
  local got want
  got=$(sorted "${COMPREPLY[@]}")
  want=$(sorted "$@")
  if [[ $got == "$want" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: '$line'"
    echo "  offered:  $got"
    echo "  expected: $want"
  fi
}

# The --options a help text names, before its exit codes (which name
# --timeout as a cause, not as an option).
options_in() { sed '/^Exit codes:/,$d' | grep -o -- '--[a-z][a-z-]*' | sort -u; }

overview=$("$vrx4ctl" --help)
commands=$(printf '%s\n' "$overview" | awk '/^Commands:$/ { on = 1; next } on && /^$/ { exit } on { print $2 }')
[[ -n $commands ]] || { echo "FAIL: no Commands: block in vrx4ctl --help"; exit 1; }

# --- The lists, against the help -----------------------------------------
# shellcheck disable=SC2086
expect "vrx4ctl " $commands
expect "vrx4ctl -" --help

set_help=$("$vrx4ctl" set --help)
# The pages are the lines "  control --type ..." of set's help.
pages=$(printf '%s\n' "$set_help" | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p')
[[ $pages == *control* && $pages == *pid* ]] || { echo "FAIL: no pages in 'vrx4ctl set --help'"; exit 1; }

# shellcheck disable=SC2086
expect "vrx4ctl set --port /dev/ttyUSB0 " $pages

all_offered=
for command in $commands; do
  help=$("$vrx4ctl" "$command" --help)
  if [[ $command == set ]]; then
    # Before a page, set's own options; after one, the page's too.
    complete_line "vrx4ctl set --"
    set_own=("${COMPREPLY[@]}")
    # shellcheck disable=SC2046
    expect "vrx4ctl set --" --help $(printf '%s\n' "$help" | sed -n '1p;/^Options:/,/^$/p' | options_in)
    union=("${set_own[@]}")
    for page in $pages; do
      # The page's line and the line that carries it on.
      page_options=$(printf '%s\n' "$set_help" | awk -v p="$page" '
        $1 == p && /^  [a-z]/ { on = 1; print; next }
        on && /^      / { print; next }
        { on = 0 }' | options_in)
      restore=--restore
      [[ $page == pid ]] && restore= # pid has no factory copy
      # shellcheck disable=SC2086
      expect "vrx4ctl set --port /dev/ttyUSB0 $page --" $(printf '%s\n' "${set_own[@]}" | grep -vx -- --restore) \
        $page_options $restore
      union+=("${COMPREPLY[@]}")
    done
    want=$(sorted --help $(printf '%s\n' "$help" | options_in))
    got=$(sorted "${union[@]}")
    if [[ $got == "$want" ]]; then passed=$((passed + 1)); else
      failed=$((failed + 1))
      echo "FAIL: set's options in all: $got"
      echo "  vrx4ctl set --help: $want"
    fi
    all_offered+=" $got"
    continue
  fi
  # shellcheck disable=SC2046
  expect "vrx4ctl $command --" --help $(printf '%s\n' "$help" | options_in)
  all_offered+=" ${COMPREPLY[*]}"
done

# Every option the overview explains is offered somewhere, and no other.
want=$(sorted $(printf '%s\n' "$overview" | sed -n '/^Options:/,/^$/p' | grep -o -- '^  --[a-z][a-z-]*'))
# shellcheck disable=SC2086
got=$(sorted $all_offered)
if [[ $got == "$want" ]]; then passed=$((passed + 1)); else
  failed=$((failed + 1))
  echo "FAIL: the options offered: $got"
  echo "  the Options: block of vrx4ctl --help: $want"
fi

# Values written "--unit bar|PSI|kPa|MPa" in a usage line or a page line.
for command in $commands; do
  "$vrx4ctl" "$command" --help | sed '/^Exit codes:/,$d' |
    grep -o -- '--[a-z-]* [^] ]*|[^] ]*' | sort -u >"$scratch/values"
  while read -r option values; do
    line="vrx4ctl $command --port /dev/ttyUSB0 "
    [[ $command == set ]] && line+="control "
    [[ $option == --read-as ]] && line="vrx4ctl set auxin "
    [[ $option == --logic ]] && line="vrx4ctl set alarm "
    # shellcheck disable=SC2046
    expect "$line$option " $(tr '|' ' ' <<<"$values")
  done <"$scratch/values"
done

# --- Typed lines ---------------------------------------------------------
expect "vrx4ctl re" read report restore
expect "vrx4ctl monitor --unit k" kPa
expect "vrx4ctl show --unit=M" MPa
expect "vrx4ctl show --unit=" bar PSI kPa MPa
expect "vrx4ctl dump --area base --f" --fields
expect "vrx4ctl set --unit PSI a" alarm auxin
expect "vrx4ctl set --restore --unit PSI i" iout
expect "vrx4ctl set alarm --logic + --delay-on 2 --ton" --ton-min
expect "vrx4ctl set alarm " # a page is given: nothing but options
expect "vrx4ctl monitor --count "
expect "vrx4ctl ports "

# Serial ports after --port: a folder laid out like /dev.
dev=$scratch/dev
mkdir -p "$dev/serial/by-id" "$dev/serial/by-path"
touch "$dev/ttyS0" "$dev/ttyS1" "$dev/ttyUSB0" "$dev/ttyACM0" "$dev/null" \
  "$dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0" \
  "$dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0"
_vrx4ctl_dev=$dev
byid=$dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
bypath=$dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0
expect "vrx4ctl read --port " "$byid" "$bypath" "$dev/ttyUSB0" "$dev/ttyACM0" "$dev/ttyS0" "$dev/ttyS1"
expect "vrx4ctl read --port $dev/serial/by-id/" "$byid"
expect "vrx4ctl info --port=$dev/ttyU" "$dev/ttyUSB0"
expect "vrx4ctl diff a.txt --port $dev/ttyS" "$dev/ttyS0" "$dev/ttyS1"
if [[ $mode == helpers ]]; then
  # A name with colons: readline replaces only what follows the last one.
  expect "vrx4ctl read --port $dev/serial/by-path/pci-0000:00:14" "14.0-usb-0:2:1.0-port0"
fi

# Files after --in and --out, and for diff's A and B; a port that is not a
# device (a simulator's link) is a file too.
mkdir -p "$scratch/work/sub"
touch "$scratch/work/golden.txt" "$scratch/work/good.txt" "$scratch/work/sim-link"
cd "$scratch/work" || exit 1
expect "vrx4ctl write --in go" golden.txt good.txt
expect "vrx4ctl read --port /dev/ttyUSB0 --out gol" golden.txt
expect "vrx4ctl monitor --out=su" sub
expect "vrx4ctl read --port si" sim-link
expect "vrx4ctl diff gol" golden.txt
expect "vrx4ctl diff golden.txt g" golden.txt good.txt
expect "vrx4ctl diff golden.txt good.txt g"
expect "vrx4ctl report --in good.txt --golden gol" golden.txt
expect "vrx4ctl report --note "
expect "vrx4ctl show --in golden.txt --port " "$byid" "$bypath" "$dev/ttyUSB0" "$dev/ttyACM0" "$dev/ttyS0" "$dev/ttyS1"

echo "completion ($mode): $passed passed, $failed failed"
[[ $failed -eq 0 ]]
