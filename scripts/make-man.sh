#!/usr/bin/env bash
# Writes the korvane command's manual page and bash completion from what the
# built command says of itself, so that both follow its options:
#   make-man.sh KORVANE MAN_OUT COMPLETION_OUT
# The manual page is --help in roff: the first line is the name, "Usage:" the
# synopsis, the option rows the OPTIONS, each heading in capitals a section of
# its own, and the examples before "Usage:" the EXAMPLES at the end. The completion offers the long options,
# the symbologies and aliases of --list after -b, and the formats after -f.
set -euo pipefail
korvane=$1 man=$2 completion=$3

help=$("$korvane" --help)
version=$("$korvane" --version | awk '{ print $NF }')

printf '%s\n' "$help" | awk -v version="$version" '
function esc(s) {
  gsub(/\\/, "\\e", s)
  gsub(/-/, "\\-", s)
  if (s ~ /^[.'"'"']/) s = "\\&" s
  return s
}
NR == 1 {
  sub(/^korvane: */, "")
  sub(/\.$/, "")
  print ".TH KORVANE 1 \"\" \"korvane " version "\" \"User Commands\""
  print ".SH NAME"
  print "korvane \\- " esc($0)
  section = "examples-pending"
  next
}
/^$/ { if (section != "examples-pending" && section != "examples") para = 1; next }
section == "examples-pending" && /^  / { section = "examples" }
section == "examples" && /^  / { sub(/^  /, ""); examples = examples esc($0) "\n"; next }
section == "examples" { section = "" }
/^Usage: / {
  sub(/^Usage: /, "")
  print ".SH SYNOPSIS"
  print ".B korvane"
  sub(/^korvane */, "")
  print esc($0)
  next
}
/^(Positionals|Options):$/ {
  if (!options_started) { print ".SH OPTIONS"; options_started = 1 }
  section = "options"
  next
}
/^[A-Z][A-Z ]+$/ { print ".SH " $0; section = "text"; para = 0; entry = 0; next }
section == "options" && /^  [^ ]/ {
  line = substr($0, 3)
  split(line, parts, /   +/)
  names = parts[1]
  desc = substr(line, length(names) + 1)
  sub(/^ +/, "", desc)
  print ".TP"
  n = split(names, words, " ")
  flags = words[1]
  args = ""
  for (i = 2; i <= n; i++) args = args (args == "" ? "" : " ") words[i]
  gsub(/,/, ", ", flags)
  print "\\fB" esc(flags) "\\fR" (args == "" ? "" : " \\fI" esc(args) "\\fR")
  print esc(desc)
  next
}
section == "text" && /^  [0-9]+  / {
  entry = 1
  code = $1
  rest = $0
  sub(/^ +[0-9]+ +/, "", rest)
  print ".TP"
  print ".B " code
  print esc(rest)
  next
}
section == "text" {
  if (entry && /^  [^ ]/) { para = 1; entry = 0 }  # back from the entries to the margin
  sub(/^ +/, "")
  if (para) { print ".PP"; para = 0 }
  print esc($0)
  next
}
END { if (examples != "") printf ".SH EXAMPLES\n.nf\n%s.fi\n", examples }
' >"$man.tmp"
mv "$man.tmp" "$man"

# ---- bash completion ----
options=$(printf '%s\n' "$help" | grep -oE '^  (-[a-z],)?--[a-z0-9-]+' | sed 's/^  //; s/,/ /' | tr '\n' ' ')
symbologies=$("$korvane" --list | sed -n 's/^  \([a-z0-9][^(]*[^ ]\)  (.*/\1/p' | tr -d ',' | tr '\n' ' ')
cat >"$completion.tmp" <<EOF
# bash completion for korvane $version (made from korvane --help and --list)
_korvane() {
  local cur=\${COMP_WORDS[COMP_CWORD]} prev=\${COMP_WORDS[COMP_CWORD-1]}
  case \$prev in
    -b|--symbology) COMPREPLY=(\$(compgen -W "$symbologies" -- "\$cur")); return ;;
    -f|--format) COMPREPLY=(\$(compgen -W "svg pdf eps png emf bmp" -- "\$cur")); return ;;
    -o|--output|-i|--input|--batch|--font) COMPREPLY=(\$(compgen -f -- "\$cur")); return ;;
    --grade) COMPREPLY=(\$(compgen -W "ideal thermal203 thermal300 laser600" -- "\$cur")); return ;;
  esac
  if [[ \$cur == -* ]]; then
    COMPREPLY=(\$(compgen -W "$options" -- "\$cur"))
  else
    COMPREPLY=(\$(compgen -f -- "\$cur"))
  fi
}
complete -o filenames -F _korvane korvane
EOF
mv "$completion.tmp" "$completion"
