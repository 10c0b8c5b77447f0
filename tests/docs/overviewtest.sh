#!/bin/bash
# Checks the newcomer's map docs/overview.md against the tree, so that a renamed name or a moved
# file makes it fail until the map says so:
#   - every path in a table cell (a code span holding a "/" or ending in a file extension) exists;
#     a bare file name counts in the folder that its row names first;
#   - every glossary row names a file, and each of its names occurs in one of its files: a code
#     name as a whole word, a romanised word anywhere (without regard to case);
#   - every name of the glossary, of the main job's flow and of the unused engine features
#     occurs under src/.
# Usage: overviewtest.sh [REPOSITORY]   (default: the repository this script lies in)
set -euo pipefail

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
    named = section ~ /^How the main job flows/ || section ~ /^What the engine can do/
    rows[section] += 0
    intable = 0
    next
}
/^### / { intable = 0; next }
{
    if (named) identifiers($0, NR)
}
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
    if (nc > 0 && (first[1] ~ /\/$/ || first[1] ~ /^(src|resources|tests|tools|bench|fuzz|packaging|docs)(\/[^.]*)?$/))
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
        if (kind == "c") print "I\t" NR "\t" names[i]
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
declare -A texts # file -> its text in lower case
identifiers=()
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
                [ -n "${texts[$file]+set}" ] || texts[$file]=$(tr 'A-Z' 'a-z' <"$file")
                [[ ${texts[$file]} == *"${b,,}"* ]] && found=yes
            fi
            [ $found = yes ] && break
        done
        [ $found = yes ] || fail "$line" "the glossary entry \`$b\` does not occur in $c"
        ;;
    I)
        identifiers+=("$a")
        ;;
    esac
done <<<"$records"

# The code names, all at once: those that occur under src/ as whole words.
if [ ${#identifiers[@]} -gt 0 ]; then
    declare -A present
    while read -r name; do
        present[$name]=1
    done < <(printf '%s\n' "${identifiers[@]}" | sort -u | grep -rhowF -f - src | sort -u)
    while IFS=$'\t' read -r type line a _; do
        [ "$type" = I ] || continue
        [ -n "${present[$a]+set}" ] || fail "$line" "\`$a\` occurs nowhere under src/"
    done <<<"$records"
fi

if [ $failures -gt 0 ]; then
    echo "$failures fault(s) in $doc: bring the page in line with the code." >&2
    exit 1
fi
echo "$doc: every path exists and every name occurs in the code."
