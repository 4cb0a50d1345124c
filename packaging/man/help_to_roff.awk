# Turns a program's --help text into a manual page (man(7) macros).
#
# The first file is the program's own help; any further files are the help
# of its commands (vrx4ctl read --help, ...), which replace the "Commands:"
# block of the first one.
#
# Variables (awk -v): name, section, version, date, see_also (space-separated
# page names, each of this section).
#
# What the help texts look like, and what each part becomes:
#   Usage: PROG REST   (hint)   first line          -> SYNOPSIS (hint -> DESCRIPTION)
#   One sentence.                second line         -> NAME and DESCRIPTION
#   Heading:                     at column 0         -> .SH HEADING ("Exit codes" -> EXIT STATUS)
#   TERM  description            two spaces or more  -> .TP list item (options, exit codes)
#         more description       indented further    -> the same item
#   text at column 0                                 -> filled paragraph
#   indented text                                    -> a paragraph of its own (in a headed
#                                                       block), or kept as typed (.nf)
# Outside a headed block only lines that start with "-" are list items, so a
# block of options right after the description becomes OPTIONS.

function fail(message) {
  print "help_to_roff: " message > "/dev/stderr"
  failed = 1
  exit 1
}

# Escapes text for roff: backslashes, hyphens (so that options copy as
# typed) and a control character at the start of a line.
function esc(s,    out, i, c) {
  out = ""
  for (i = 1; i <= length(s); i++) {
    c = substr(s, i, 1)
    if (c == "\\") out = out "\\e"
    else if (c == "-") out = out "\\-"
    else out = out c
  }
  if (out ~ /^[.']/) out = "\\&" out
  return out
}

function indent_of(s) {
  match(s, /^ */)
  return RLENGTH
}

function trim(s) {
  sub(/^ +/, "", s)
  sub(/ +$/, "", s)
  return s
}

# Appends one output line to the page being built (the command list goes to
# its own buffer until the end).
function emit(line) {
  if (in_commands) commands_out = commands_out line "\n"
  else page = page line "\n"
}

# Closes a block kept as typed.
function end_literal() {
  if (mode == "literal") {
    emit(".fi")
    if (!in_commands) emit(".RE")
  }
  mode = ""
}

function paragraph() {
  emit(in_commands ? ".IP" : ".PP")
}

function heading(title,    t) {
  end_literal()
  t = toupper(title)
  if (t == "EXIT CODES") t = "EXIT STATUS"
  emit(".SH " t)
  headed = 1
  mode = ""
}

# A list item's term: options bold and their arguments italic ("-q,
# --path=DIR N"); a first word that is no option (an exit code) bold.
function term(t,    n, words, out, i, w, comma, eq) {
  n = split(t, words, " ")
  out = ""
  for (i = 1; i <= n; i++) {
    w = words[i]
    comma = ""
    if (w ~ /,$/) { comma = ","; w = substr(w, 1, length(w) - 1) }
    if (w ~ /^-/ || i == 1) {
      eq = index(w, "=")
      if (eq > 0) w = "\\fB" esc(substr(w, 1, eq - 1)) "\\fR=\\fI" esc(substr(w, eq + 1)) "\\fR"
      else w = "\\fB" esc(w) "\\fR"
    } else {
      w = "\\fI" esc(w) "\\fR"
    }
    out = out (i > 1 ? " " : "") w comma
  }
  return out
}

# Handles one line of a help text outside the usage line.
function body_line(s,    ind, t, rest) {
  if (s ~ /^ *$/) {
    end_literal()
    blank = 1
    return
  }
  ind = indent_of(s)
  # A heading: "Options:", "Exit codes:".
  if (ind == 0 && s ~ /^[A-Z][A-Za-z ]*:$/ && length(s) <= 30) {
    t = substr(s, 1, length(s) - 1)
    if (in_commands_file) { skip_rest = 1; return }
    if (t == "Commands" && have_commands) {
      heading(t)
      page = page "@COMMANDS@\n"
      skipping_commands = 1
      return
    }
    skipping_commands = 0
    heading(t)
    blank = 0
    return
  }
  if (skipping_commands) return
  # The rest of an item's description.
  if (mode == "item" && !blank && ind >= item_column) {
    emit(esc(trim(s)))
    return
  }
  # An item: a term, two spaces or more, its description.
  if (match(s, /^ *[^ ]([^ ]| [^ ])*  +[^ ]/) && (headed || s ~ /^ *-/) && !in_commands_file) {
    end_literal()
    if (!headed) heading("Options")
    match(s, /^ *[^ ]([^ ]| [^ ])*/)
    t = substr(s, 1, RLENGTH)
    rest = substr(s, RLENGTH + 1)
    item_column = length(t) + indent_of(rest)
    emit(".TP")
    emit(term(trim(t)))
    emit(esc(trim(rest)))
    mode = "item"
    blank = 0
    return
  }
  # Text indented by one or two in a headed block (an example's title): a
  # paragraph of its own. Deeper text (the example itself) is kept as typed.
  if (headed && ind > 0 && ind <= 2) {
    end_literal()
    paragraph()
    emit(esc(trim(s)))
    mode = "own"
    blank = 0
    return
  }
  if (ind > 0) {
    if (mode != "literal") {
      end_literal()
      if (in_commands) emit(".IP")
      else emit(".RS")
      emit(".nf")
      mode = "literal"
      literal_base = ind
    }
    if (ind < literal_base) literal_base = ind
    emit(esc(substr(s, literal_base + 1)))
    blank = 0
    return
  }
  # Plain text: one filled paragraph until a blank line or a block.
  if (mode != "text" || blank) {
    end_literal()
    paragraph()
  }
  emit(esc(s))
  mode = "text"
  blank = 0
}

BEGIN {
  if (name == "") fail("no program name (-v name=...)")
  if (section == "") section = "1"
  have_commands = ARGC > 2
}

FNR == 1 {
  end_literal()
  file_index++
  in_commands_file = file_index > 1
  in_commands = in_commands_file
  skip_rest = 0
  blank = 0
  headed = 0
  mode = ""
  if ($0 !~ /^Usage: /) fail(FILENAME ": the help does not start with \"Usage: \"")
  usage = substr($0, 8)
  if (in_commands_file) {
    # The command's own usage line heads its entry.
    emit(".TP")
    emit("\\fB" esc(trim(substr($0, 8))) "\\fR")
    first_paragraph = 1
    next
  }
  synopsis = usage
  hint = ""
  if (match(usage, /   +/)) {
    synopsis = substr(usage, 1, RSTART - 1)
    hint = trim(substr(usage, RSTART + RLENGTH))
  }
  if (index(synopsis, name " ") != 1 && synopsis != name)
    fail("the usage line names \"" synopsis "\", not " name)
  next
}

# The sentence after the usage line says what the program is.
!in_commands_file && FNR == 2 {
  if ($0 ~ /^ *$/ || $0 ~ /:$/) fail("the help has no one-line summary after its usage line")
  summary = $0
  next
}

in_commands_file && skip_rest { next }

# A command's text starts after the blank line under its usage; its first
# paragraph follows the tag directly.
in_commands_file && first_paragraph {
  if ($0 ~ /^ *$/) next
  first_paragraph = 0
  emit(esc($0))
  mode = "text"
  blank = 0
  next
}

{ body_line($0) }

END {
  if (failed) exit 1
  end_literal()
  whatis = summary
  sub(/\.$/, "", whatis)
  whatis = tolower(substr(whatis, 1, 1)) substr(whatis, 2)
  printf ".\\\" Made from the output of \"%s --help\"; edit the help text, not this page.\n", name
  printf ".TH %s %s \"%s\" \"vrx4 %s\" \"User Commands\"\n", toupper(esc(name)), section, date, version
  print ".\\\" Usage lines and options read best unhyphenated and ragged right."
  print ".nh"
  print ".ad l"
  print ".SH NAME"
  print esc(name) " \\- " esc(whatis)
  print ".SH SYNOPSIS"
  print ".B " esc(name)
  rest = trim(substr(synopsis, length(name) + 1))
  if (rest != "") print esc(rest)
  print ".SH DESCRIPTION"
  print esc(summary)
  if (hint != "") {
    print ".PP"
    print esc(hint)
  }
  sub(/^\n*/, "", page)
  n = index(page, "@COMMANDS@\n")
  if (n > 0) page = substr(page, 1, n - 1) commands_out substr(page, n + length("@COMMANDS@\n"))
  printf "%s", page
  if (see_also != "") {
    print ".SH SEE ALSO"
    n = split(see_also, refs, " ")
    for (i = 1; i <= n; i++) print ".BR " esc(refs[i]) " (" section ")" (i < n ? "," : "")
  }
}
