#!/bin/bash
# Checks the newcomer's map docs/overview.md against the tree, so that a renamed name or a moved
# file makes it fail until the map says so:
#   - every path in a table cell (a code span holding a "/" or ending in a file extension) exists;
#     a bare file name counts in the folder that its row names first;
#   - every glossary row names a file, and each of its names occurs in one of its files: a code
#     name as a whole word, a romanised word anywhere (without regard to case);
#   - every code name on the page (a code span that is an identifier, or Class::Member) occurs
#     under src/ as a whole word.
# Usage: overviewtest.sh [REPOSITORY]   (default: the repository this script lies in)
set -euo pipefail
# Byte-wise matching: the page and the sources hold Japanese text, and only ASCII names are sought.
export LC_ALL=C

root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root"
doc=docs/overview.md
if [ ! -f "$doc" ]; then
    echo "FAIL: $doc is missing" >&2
    exit 1
fi

# One pass over the page. Records, tab-separated:
#   P line token folder     a path to find (folder: the row's own, for bare file names)
#   G line kind name files  a glossary name (kind c: code name, w: word) and the row's files
#   N line name             a glossary row without a file
#   I line name             a code name that must occur under src/
#   C section rows          how many rows each checked section has
records=$(awk '
function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
function spans(text, out,    parts, n, i, k) {
    n = split(text, parts, "`"); k = 0
    for (i = 2; i <= n; i += 2) out[++k] = parts[i]
    return k
}
function pathlike(s) {
    if (s ~ /[ <>~*$]/ || s ~ /^-/) return 0
    return s ~ /\// || s ~ /\.(h|cpp|sh|md|txt|cmake|html|jpg|png|svg|desktop|in|xml)$/
}
function identifiers(text, line,    c, n, i, parts, m, j) {
    n = spans(text, c)
    for (i = 1; i <= n; i++) {
        if (c[i] !~ /^[A-Za-z_][A-Za-z0-9_]*(::[A-Za-z_][A-Za-z0-9_]*)*(\(\))?$/) continue
        sub(/\(\)$/, "", c[i])
        m = split(c[i], parts, "::")
        for (j = 1; j <= m; j++) print "I\t" line "\t" parts[j]
    }
}
/^## / {
    section = substr($0, 4)
    glossary = section ~ /^Glossary/
    rows[section] += 0
    intable = 0
    next
}
/^### / { intable = 0; next }
{ identifiers($0, NR) }
!/^\|/ { intable = 0; next }
{
    # The first line of a table is its header, the second its alignment row.
    if (!intable) { intable = 1; next }
    if ($0 ~ /^\|[-| :]+\|$/) next
    rows[section]++
    ncell = split($0, cells, "|")
    folder = ""
    delete first
    nc = spans(cells[2], first)
    # A row names a folder first when its first cell begins with a path without a file extension.
    if (nc > 0 && first[1] ~ /\/$/) folder = first[1]
    else if (nc > 0 && first[1] ~ /^(src|resources|tests|tools|bench|fuzz|packaging|docs)(\/[^.]*)?$/)
        folder = first[1]
    n = spans($0, code)
    for (i = 1; i <= n; i++)
        if (pathlike(code[i])) print "P\t" NR "\t" code[i] "\t" folder
    if (!glossary) next
    files = ""
    nf = spans(cells[4], fc)
    for (i = 1; i <= nf; i++) if (fc[i] ~ /\//) files = files " " fc[i]
    nn = spans(cells[2], names)
    if (nn == 0) {
        word = trim(cells[2]); sub(/[ (].*/, "", word)
        nn = 1; names[1] = word; kind = "w"
    } else {
        kind = "c"
    }
    for (i = 1; i <= nn; i++) {
        if (files == "") print "N\t" NR "\t" names[i]
        else print "G\t" NR "\t" kind "\t" names[i] "\t" trim(files)
    }
}
END { for (s in rows) print "C\t" s "\t" rows[s] }
' "$doc")

failures=0
fail() {
    echo "FAIL: $doc:$1: $2" >&2
    failures=$((failures + 1))
}

# The sections this test reads must be there and hold rows, or it would check nothing.
for section in "The libraries, in dependency order" "Glossary of the given names" \
    "What the engine can do that the program does not use"; do
    count=$(printf '%s\n' "$records" | awk -F'\t' -v s="$section" '$1 == "C" && $2 == s { print $3 }')
    if [ -z "$count" ] || [ "$count" -lt 5 ]; then
        fail 0 "the section \"$section\" is missing or has fewer than 5 table rows"
    fi
done
if ! grep -q '^## How the main job flows' "$doc"; then
    fail 0 "the section \"How the main job flows\" is missing"
fi

declare -A words # file -> " word word ... " of its identifiers
while IFS=$'\t' read -r type line a b c; do
    case $type in
    P)
        if [[ $a == */* ]]; then
            [ -e "$a" ] || fail "$line" "\`$a\` does not exist"
        elif [ -n "$b" ]; then
            [ -e "$b/$a" ] || fail "$line" "\`$a\` does not exist in \`$b\`"
        else
            fail "$line" "\`$a\`: give its path from the repository's top"
        fi
        ;;
    N)
        fail "$line" "the glossary entry \`$a\` names no file"
        ;;
    G)
        found=no
        for file in $c; do
            [ -f "$file" ] || continue
            if [ "$a" = c ]; then
                [ -n "${words[$file]+set}" ] ||
                    words[$file]=" $(grep -oE '[A-Za-z_][A-Za-z0-9_]*' "$file" | sort -u | tr '\n' ' ') "
                [[ ${words[$file]} == *" $b "* ]] && found=yes
            else
                grep -qiF -- "$b" "$file" && found=yes
            fi
            [ $found = yes ] && break
        done
        [ $found = yes ] || fail "$line" "the glossary entry \`$b\` does not occur in $c"
        ;;
    esac
done < <(printf '%s\n' "$records" | grep -v '^[IC]')

# The code names, all at once: each distinct one looked for under src/ by one grep.
found=$(printf '%s\n' "$records" | awk -F'\t' '$1 == "I" { print $3 }' | sort -u |
    grep -rhowF -f - src | sort -u || true)
while IFS=$'\t' read -r line name; do
    fail "$line" "\`$name\` occurs nowhere under src/"
done < <(awk -F'\t' 'NR == FNR { ok[$0] = 1; next } $1 == "I" && !($3 in ok) { print $2 "\t" $3 }' \
    <(printf '%s\n' "$found") <(printf '%s\n' "$records"))

if [ $failures -gt 0 ]; then
    echo "$failures fault(s) in $doc: bring the page in line with the code." >&2
    exit 1
fi
echo "$doc: every path exists and every name occurs in the code."
