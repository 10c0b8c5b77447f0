#!/bin/bash
# Checks the newcomer's map docs/overview.md against the tree, so that a renamed name, a moved
# file or a library used against the order the map gives makes it fail until the map (or the
# code) says so:
#   - every path in a table cell (a code span holding a "/" or ending in a file extension) exists;
#     a bare file name counts in the folder that its row names first;
#   - every glossary row names a file, and each of its names occurs in the code of one of its
#     files: a code name as a whole word, a romanised word anywhere (without regard to case);
#   - every code name on the page (a code span that is an identifier, or Class::Member) occurs in
#     the code under src/ as a whole word.
#     "In the code" means outside comments: the C++ and CMake files of src/ are read with their
#     comments removed (// and /* */, or # and #[[ ]]), string literals kept (a key such as
#     "zenkai" lives in one); other files there are not code and are not read.
#   - the table of "The libraries, in dependency order" has one row for each
#     add_library(tamurika_X) under src/ and resources/, naming the folder it is made in, and no
#     row for a library that is not made;
#   - the chain of the sentence above that table ("platform ← settings, photo ← ... ← app": levels
#     from the top, separated by "←", the folders of one level by ", ") names every library folder
#     of src/ once, and the build has that order: each tamurika_* library that a library links
#     (PUBLIC or PRIVATE) stands at an earlier level than it, never on its own level; an
#     executable may link its own folder's library and those at earlier levels;
#   - the code has that order too: each #include "folder/file.h" (or <folder/file.h>) in a C++
#     file of src/<folder>/ that names another folder of src/ names one at an earlier level, and
#     one whose library the including file's target links itself (a header-only use still
#     belongs in the link list; an executable counts with the library of its own folder, whose
#     front it is). Each offending file and line is reported.
#   resources/ is left out of the chain: it is data, linked privately by the calendar, and counts
#   as a level below platform (it links no tamurika library itself). Should the chain name it,
#   it stands where the chain puts it.
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
#   H line chain            the chain of the libraries' order, as the page writes it
#   L line folder library   a row of the table of libraries
read_page() {
    awk '
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
# The sentence of the order may run over several lines; it ends at its first full stop.
function chain(text, line,    lead, rest, stop) {
    lead = "Each library links only those above it:"
    if (!chainline && index(text, lead)) { chainline = line; sentence = "" }
    if (!chainline || chaindone) return
    sentence = sentence " " text
    rest = substr(sentence, index(sentence, lead) + length(lead))
    stop = index(rest, ".")
    if (stop) { print "H\t" chainline "\t" trim(substr(rest, 1, stop - 1)); chaindone = 1 }
}
/^## / {
    section = substr($0, 4)
    glossary = section ~ /^Glossary/
    libraries = section == "The libraries, in dependency order"
    rows[section] += 0
    intable = 0
    next
}
/^### / { intable = 0; next }
{ identifiers($0, NR) }
# The sentence of the order is a paragraph of its own.
libraries && chainline && ($0 == "" || /^\|/) { chaindone = 1 }
libraries && !/^\|/ && $0 != "" { chain($0, NR) }
!/^\|/ { intable = 0; next }
{
    # The first line of a table is its header, the second its alignment row.
    if (!intable) { intable = 1; librarytable = libraries && $0 ~ /^\| *Folder *\| *Library *\|/; next }
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
    if (librarytable) {
        delete lib
        spans(cells[3], lib)
        print "L\t" NR "\t" first[1] "\t" lib[1]
    }
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
' "$doc"
}

# Copies the C++ and CMake files of src/ and resources/ into the folder $1 with their comments
# removed and every line where it was, so that a name is sought, and an include or a link read,
# in code alone. String and character literals (raw strings too) stay as they are, and so does a
# number with digit separators (100'000).
strip_comments() {
    perl -MFile::Find -MFile::Path=make_path -e '
use strict;
use warnings;
my $out = shift;

# A comment becomes a space, or the line ends it held.
sub blank { my $n = ($_[0] =~ tr/\n//); return $n ? "\n" x $n : " " }

sub strip_cpp {
    my ($text) = @_;
    $text =~ s{
        ( (?:u8|[uUL])?R"([^()\\\s]{0,16})\(.*?\)\2"    # a raw string
        | [A-Za-z_]\w*                                   # a name (before the literals: u8"x")
        | \.?\d(?:[eEpP][+-]|\x27\w|[\w.])*              # a number, digit separators and all
        | "(?:[^"\\\n]|\\.)*"                            # a string
        | \x27(?:[^\x27\\\n]|\\.)*\x27                   # a character
        )
      | ( //(?:[^\\\n]|\\.)* | /\*.*?(?:\*/|\z) )        # a comment
    }{ defined $3 ? blank($3) : $1 }gsex;
    return $text;
}

sub strip_cmake {
    my ($text) = @_;
    $text =~ s{
        ( \[(=*)\[.*?\]\2\]                              # a bracket argument
        | "(?:[^"\\]|\\.)*"                              # a quoted argument
        )
      | ( \#\[(=*)\[.*?(?:\]\4\]|\z) | \#[^\n]* )        # a comment
    }{ defined $3 ? blank($3) : $1 }gsex;
    return $text;
}

my @files;
find({ no_chdir => 1, wanted => sub { push @files, $File::Find::name if -f } },
     grep { -d } @ARGV);
for my $file (@files) {
    my $strip = $file =~ /\.(?:h|hh|hpp|cpp|cc|cxx)$/ ? \&strip_cpp
              : $file =~ m{(?:^|/)CMakeLists\.txt$|\.cmake$} ? \&strip_cmake : next;
    open my $in, "<:raw", $file or die "$file: $!\n";
    my $text = do { local $/; <$in> };
    close $in;
    (my $dir = "$out/$file") =~ s{/[^/]*$}{};
    make_path($dir);
    open my $copy, ">:raw", "$out/$file" or die "$out/$file: $!\n";
    print $copy $strip->($text);
    close $copy or die "$out/$file: $!\n";
}
' "$1" src resources
}

# The order of the libraries, read from the page's records (on standard input: H and L) and from
# the tree without comments in $1: its CMake files and the includes of src/. Prints each fault
# as "file<TAB>line<TAB>what".
check_order() {
    perl -MFile::Find -e '
use strict;
use warnings;
my $tree = shift;
my $doc = "docs/overview.md";
my $arrow = "\xe2\x86\x90";    # "←" in UTF-8

sub fault { print join("\t", @_), "\n" }
sub line_at { my ($text, $pos) = @_; return 1 + (substr($text, 0, $pos) =~ tr/\n//) }
sub folder_name { my ($dir) = @_; $dir =~ s{^src/}{}; return $dir }

# The page: the chain and the rows of the table.
my ($chainline, $chaintext, @rows);
while (<STDIN>) {
    chomp;
    my ($type, @field) = split /\t/, $_, -1;
    ($chainline, $chaintext) = @field if $type eq "H";
    push @rows, [@field] if $type eq "L";
}

# The build: the libraries and executables each CMake file makes, their sources and what they
# link. A target is { name, dir, file, line, executable, links => [[library, file, line], ...] }.
my (%target, %library_of_dir, %target_of_source);
sub read_cmake {
    my ($file) = @_;    # relative to the tree
    open my $in, "<:raw", "$tree/$file" or die "$file: $!\n";
    my $text = do { local $/; <$in> };
    close $in;
    (my $dir = $file) =~ s{/[^/]*$}{};
    while ($text =~ /\b(add_library|add_executable|target_link_libraries)\s*\(([^)]*)\)/g) {
        my ($command, $args, $at, $start) = ($1, $2, $-[0], $-[2]);
        my @words;
        while ($args =~ /(\S+)/g) { push @words, [$1, line_at($text, $start + $-[1])] }
        next unless @words;
        my $name = (shift @words)->[0];
        if ($command eq "target_link_libraries") {
            push @{ $target{$name}{links} }, map { [$_->[0], $file, $_->[1]] }
                grep { $_->[0] =~ /^tamurika_\w+$/ } @words;
            next;
        }
        next if $command eq "add_library" && $name !~ /^tamurika_\w+$/;
        my $t = $target{$name} //= {};
        @$t{qw(name dir file line executable)} =
            ($name, $dir, $file, line_at($text, $at), $command eq "add_executable");
        push @{ $library_of_dir{$dir} }, $name unless $t->{executable};
        $target_of_source{"$dir/$_->[0]"} = $name for @words;
    }
}
my @cmake;
find({ no_chdir => 1, wanted => sub {
    push @cmake, substr($File::Find::name, length($tree) + 1)
        if m{/CMakeLists\.txt$|\.cmake$} } }, grep { -d } "$tree/src", "$tree/resources");
read_cmake($_) for sort @cmake;
my @libraries = sort grep { $target{$_}{dir} && !$target{$_}{executable} } keys %target;

# The table: a row for each library made, in its folder, and none for one not made.
sub check_table {
    my %row;
    for my $r (@rows) {
        my ($line, $folder, $name) = @$r;
        $folder =~ s{/$}{};
        if ($name eq "") { fault($doc, $line, "the row of `$folder` names no library"); next }
        fault($doc, $line, "`$name` has a second row (the first: line $row{$name})") if $row{$name};
        $row{$name} //= $line;
        my $t = $target{$name};
        if (!$t || !$t->{dir} || $t->{executable}) {
            fault($doc, $line, "`$name`: no add_library($name) under src/ or resources/ makes it");
        } elsif ($t->{dir} ne $folder) {
            fault($doc, $line, "`$name` is made in `$t->{dir}` ($t->{file}:$t->{line}), not in `$folder`");
        }
    }
    for my $name (@libraries) {
        next if $row{$name};
        fault($doc, $chainline // 0, "`$name` ($target{$name}{file}:$target{$name}{line}) has no row"
            . " in the table of \"The libraries, in dependency order\"");
    }
}

# The chain: level 1 at the top. Returns the level of each folder it names.
sub read_chain {
    my %level;
    if (!defined $chaintext) {
        fault($doc, 0, "the sentence \"Each library links only those above it: platform $arrow ..."
            . " $arrow app.\" of \"The libraries, in dependency order\" is missing or has no full stop");
        return %level;
    }
    (my $text = $chaintext) =~ s/\s+/ /g;
    my @levels = split /\s*$arrow\s*/, $text, -1;
    fault($doc, $chainline, "the chain has a single level: its levels are separated by \"$arrow\"")
        if @levels < 2;
    for my $i (1 .. @levels) {
        for my $name (split /\s*,\s*/, $levels[$i - 1], -1) {
            if ($name !~ /^[a-z][a-z0-9_]*$/) {
                fault($doc, $chainline, "level $i of the chain holds \"$name\", not a folder name"
                    . " (folders of one level are separated by \", \")");
            } elsif ($level{$name}) {
                fault($doc, $chainline, "`$name` stands twice in the chain (levels $level{$name} and $i)");
            } elsif (!$library_of_dir{"src/$name"} && !($name eq "resources" && $library_of_dir{resources})) {
                fault($doc, $chainline, "`$name` in the chain is no folder with a library under src/");
            } else {
                $level{$name} = $i;
            }
        }
    }
    for my $dir (sort keys %library_of_dir) {
        my $name = folder_name($dir);
        next if $level{$name} || $dir eq "resources";
        fault($doc, $chainline, "the chain leaves out `$name` (@{ $library_of_dir{$dir} })");
    }
    $level{resources} //= 0 if $library_of_dir{resources};
    return %level;
}
my %level = read_chain();
# Why folder $used may not be used from folder $own, or nothing when it stands above it.
sub against_order {
    my ($used, $own) = @_;
    my ($to, $from) = ($level{$used}, $level{$own});
    return () if !defined $to || !defined $from || $to < $from;
    my $chain = "the chain of $doc:$chainline";
    return $to == $from ? "`$used` stands on the same level of $chain as `$own` (level $to)"
                        : "`$used` (level $to of $chain) stands below `$own` (level $from)";
}

# The links: each tamurika library a target links stands above the folder of the target.
sub check_links {
    for my $name (sort keys %target) {
        my $t = $target{$name};
        next unless $t->{dir} && $t->{links};
        for my $link (@{ $t->{links} }) {
            my ($used, $file, $line) = @$link;
            my $u = $target{$used};
            if (!$u || !$u->{dir} || $u->{executable}) {
                fault($file, $line, "$name links $used, which no add_library under src/ or resources/ makes");
                next;
            }
            next if $t->{executable} && $u->{dir} eq $t->{dir};
            my @why = against_order(folder_name($u->{dir}), folder_name($t->{dir}));
            fault($file, $line, "$name links $used: @why") if @why;
        }
    }
}

# The includes: a file of src/<folder>/ includes from another folder only one that stands above
# its own and whose library its target links.
sub target_of_file {
    my ($file, $dir) = @_;
    return $target_of_source{$file} if $target_of_source{$file};
    my $libraries = $library_of_dir{$dir};
    return $libraries && @$libraries == 1 ? $libraries->[0] : undef;
}
# What a target links itself. An executable beside a library of its own folder is the front of
# that library (main.cpp and little else): it may use what that library links.
sub links_of {
    my ($name) = @_;
    my $t = $target{$name};
    my @links = map { $_->[0] } @{ $t->{links} // [] };
    return @links unless $t->{executable};
    my @own = grep { my $u = $target{$_}; $u && !$u->{executable} && ($u->{dir} // "") eq $t->{dir} } @links;
    return @links, map { links_of($_) } @own;
}
sub check_includes {
    my @sources;
    find({ no_chdir => 1, wanted => sub {
        push @sources, substr($File::Find::name, length($tree) + 1) if /\.(?:h|hh|hpp|cpp|cc|cxx)$/ } },
        "$tree/src");
    for my $file (sort @sources) {
        my ($dir) = $file =~ m{^(src/[^/]+)/} or next;
        my $name = target_of_file($file, $dir);
        my %linked = map { $_ => 1 } $name ? links_of($name) : ();
        open my $in, "<:raw", "$tree/$file" or die "$file: $!\n";
        while (my $text = <$in>) {
            next unless $text =~ m{^\s*#\s*include\s*["<]((\w+)/[^">]*)[">]};
            my ($path, $folder) = ($1, $2);
            next if "src/$folder" eq $dir || !-d "$tree/src/$folder";
            my @why = against_order($folder, folder_name($dir));
            my @wanted = @{ $library_of_dir{"src/$folder"} // [] };
            if ($name && @wanted && !grep { $linked{$_} } @wanted) {
                push @why, "$name does not link " . join(" or ", @wanted)
                    . ($target{$name}{executable} ? ", nor does the library of its folder" : "");
            }
            fault($file, $., "includes \"$path\": " . join("; ", @why)) if @why;
        }
        close $in;
    }
}

check_table();
if (%level) {
    check_links();
    check_includes();
}
' "$1"
}

failures=0
fail_in() {
    echo "FAIL: $1:$2: $3" >&2
    failures=$((failures + 1))
}
fail() { fail_in "$doc" "$@"; }

records=$(read_page)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
strip_comments "$tree"

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

# A file of the page as code: without its comments when it is C++ or CMake under src/.
code_of() {
    if [ -f "$tree/$1" ]; then
        echo "$tree/$1"
    elif [[ $1 == src/* ]]; then
        echo /dev/null
    else
        echo "$1"
    fi
}

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
            code=$(code_of "$file")
            if [ "$a" = c ]; then
                [ -n "${words[$file]+set}" ] ||
                    words[$file]=" $(grep -oE '[A-Za-z_][A-Za-z0-9_]*' "$code" | sort -u | tr '\n' ' ') "
                [[ ${words[$file]} == *" $b "* ]] && found=yes
            else
                grep -qiF -- "$b" "$code" && found=yes
            fi
            [ $found = yes ] && break
        done
        [ $found = yes ] || fail "$line" "the glossary entry \`$b\` does not occur in the code of $c"
        ;;
    esac
done < <(printf '%s\n' "$records" | grep -v '^[ICHL]')

# The code names, all at once: each distinct one looked for in the code of src/ by one grep.
found=$(printf '%s\n' "$records" | awk -F'\t' '$1 == "I" { print $3 }' | sort -u |
    grep -rhowF -f - "$tree/src" | sort -u || true)
while IFS=$'\t' read -r line name; do
    fail "$line" "\`$name\` occurs nowhere in the code under src/ (comments do not count)"
done < <(awk -F'\t' 'NR == FNR { ok[$0] = 1; next } $1 == "I" && !($3 in ok) { print $2 "\t" $3 }' \
    <(printf '%s\n' "$found") <(printf '%s\n' "$records"))

# The order of the libraries, in the build and in the code.
order_faults=$(printf '%s\n' "$records" | { grep '^[HL]' || true; } | check_order "$tree")
if [ -n "$order_faults" ]; then
    while IFS=$'\t' read -r file line what; do
        fail_in "$file" "$line" "$what"
    done <<<"$order_faults"
fi

if [ $failures -gt 0 ]; then
    echo "$failures fault(s): bring $doc in line with the code, or the code in line with the order it gives." >&2
    exit 1
fi
echo "$doc: every path exists, every name occurs in the code, and the libraries and their includes keep its order."
