#!/usr/bin/env bash
# Lists the functions longer than LIMIT lines (80 unless set) in the library,
# the command and the bindings, longest first; exits 1 when there are any.
# Generated tables (files named *Tables.h or *Table.h) are left out.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${LIMIT:-80}
[ $# -gt 0 ] || set -- korvane cli python/src js/src
found=$(ctags -R --languages=C++ --kinds-C++=f --fields=+ne -x --_xformat='%{end} %n %N %F' "$@" |
  awk -v l="$limit" '$4 !~ /Tables?\.h$/ { len = $1 - $2 + 1; if (len > l) printf "%5d %s:%d %s\n", len, $4, $2, $3 }' |
  sort -rn)
[ -z "$found" ] && exit 0
echo "$found"
exit 1
