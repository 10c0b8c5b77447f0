#!/usr/bin/env bash
# Keeps a program's manual pages in step with its usage text: every option that "PROGRAM --help"
# names must be described in each page, and no page may describe an option the program does
# not name. A new option therefore fails this test until the pages (packaging/man/, English and
# Japanese) describe it.
# Usage: manpagetest.sh PROGRAM PAGE...
set -euo pipefail
program=$1
shift
name=$(basename "$program")

# The long options a text names, one a line; "--year=2027" names --year.
options() { grep -o -- '--[a-z][a-z0-9-]*' | sort -u || true; }

# The usage, as on a machine without a display.
usage=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$program" --help | options)
[[ -n "$usage" ]] || { echo "'$name --help' names no option"; exit 1; }

failed=0
for page in "$@"; do
  # The page's text without comments and font changes, "\-" read as "-".
  described=$(grep -v '^\.\\"' "$page" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\f(\w\w//g' |
    options)
  for option in $usage; do
    if ! grep -qx -- "$option" <<<"$described"; then
      echo "$page: '$name --help' names $option, which this page does not describe: add it"
      failed=1
    fi
  done
  for option in $described; do
    if ! grep -qx -- "$option" <<<"$usage"; then
      echo "$page: describes $option, which '$name --help' does not name: remove it or add it there"
      failed=1
    fi
  done
done
if ((failed)); then
  echo "'$name --help' names: $(tr '\n' ' ' <<<"$usage")"
  exit 1
fi
echo "$# pages describe the $(wc -l <<<"$usage") options of '$name --help'"
