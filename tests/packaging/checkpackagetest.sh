#!/usr/bin/env bash
# tools/check-package installs the package with what apt adds for it and removes exactly that
# again, whatever else happens on the machine meanwhile. Run against the real apt and dpkg of
# this machine, as root (otherwise it says so and is skipped), with the package made from the
# build folder and a dependency of its own added, so that the check has a dependency to bring:
#   - a lock of dpkg or apt held by another process (flock, and a POSIX lock as dpkg takes it):
#     the check refuses, names the lock and installs nothing;
#   - a package another program installs while the check runs is kept, tamurika and the
#     dependency the check brought are gone;
#   - a failure after the install, and a TERM signal: tamurika and the dependency are gone all
#     the same;
#   - a package installed meanwhile that needs the dependency: tamurika is gone, the dependency
#     is kept and the check fails loudly, naming it;
#   - an install that would upgrade an installed package or remove one: refused, nothing
#     changed, also when that comes from a package installed between apt's plan and the install;
#   - the dependency removed before, its changed configuration file kept: afterwards it is
#     removed with that configuration file as it was.
# The dependency and the other packages are tiny packages made here (tamurika-checktest-*), the
# dependency served by a repository in a temporary folder that only the check's apt sees
# (APT_CONFIG): the machine's own sources and lists are not touched. The installed programs
# are not tried here (./check runs the whole check once): TAMURIKA_CHECK_PACKAGE_INSTALL_ONLY.
# Usage: checkpackagetest.sh BUILD-DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "$1")
# ctest's SKIP_RETURN_CODE: the test could not run here, which is not a pass.
skip() {
  echo "skipped: $*"
  exit 77
}

state() {
  local s
  s=$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null || true)
  echo "${s:-not-installed}"
}
installed_packages() { dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package}\n' | awk '$1 == "ii" { print $2 }' | sort; }

[[ $(id -u) -eq 0 ]] || skip "installing packages needs root"
command -v python3 >/dev/null || { echo "FAIL: python3 is needed to hold a lock as dpkg does"; exit 1; }
[[ "$(state tamurika)" == not-installed ]] ||
  skip "tamurika is installed on this machine, so tools/check-package would not install it"
# The packages of this test that dpkg has in any state but "not installed".
present() {
  dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package}\n' "$@" 2>/dev/null |
    awk '$1 != "un" && $1 != "pn" { print $2 }' || true
}
ours=$(present 'tamurika-checktest-*')
if [[ -n "$ours" ]]; then
  echo "FAIL: packages of an earlier run of this test are on the machine; remove them with:" \
    "dpkg --purge $(tr '\n' ' ' <<<"$ours")"
  exit 1
fi

tmp=$(mktemp -d)
# apt's download methods read the repository as the user _apt.
chmod 755 "$tmp"
holders=()
# Whatever happens: the lock holders stopped, every package this test made taken off again,
# tamurika too (it was not installed when the test started), the temporary folder removed.
cleanup() {
  local status=$? pid left
  trap '' INT TERM HUP
  for pid in "${holders[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  left=$(present tamurika 'tamurika-checktest-*')
  if [[ -n "$left" ]]; then
    # shellcheck disable=SC2086 # one word per package
    DEBIAN_FRONTEND=noninteractive dpkg --purge $left >"$tmp/cleanup.log" 2>&1 || {
      cat "$tmp/cleanup.log"
      echo "FAIL: could not remove $left: remove it by hand with dpkg --purge"
      status=1
    }
  fi
  rm -rf "$tmp"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

failures=0
failed() {
  echo "FAIL ($scenario): $*"
  failures=$((failures + 1))
}

# --- The packages ----------------------------------------------------------------------------
# make_package NAME VERSION [CONTROL-LINE...]: $tmp/NAME_VERSION_all.deb, holding
# /usr/share/doc/NAME/README and, when the dependency, a configuration file of its own.
make_package() {
  local name=$1 version=$2 root=$tmp/src/$1_$2
  shift 2
  mkdir -p "$root/DEBIAN" "$root/usr/share/doc/$name"
  echo "$name $version, made by tests/packaging/checkpackagetest.sh" >"$root/usr/share/doc/$name/README"
  {
    echo "Package: $name"
    echo "Version: $version"
    echo "Architecture: all"
    echo "Maintainer: tamurika tests <tests@tamurika.example>"
    echo "Section: misc"
    echo "Priority: optional"
    (($# == 0)) || printf '%s\n' "$@"
    echo "Description: package made by tamurika's package check test"
    echo " Installed and removed again by tests/packaging/checkpackagetest.sh."
  } >"$root/DEBIAN/control"
  if [[ "$name" == tamurika-checktest-dep ]]; then
    mkdir -p "$root/etc"
    echo "setting = $version" >"$root/etc/tamurika-checktest-dep.conf"
    echo /etc/tamurika-checktest-dep.conf >"$root/DEBIAN/conffiles"
  fi
  dpkg-deb --build --root-owner-group "$root" "$tmp/${name}_${version}_all.deb" >/dev/null
}
make_package tamurika-checktest-dep 1.0 "Conflicts: tamurika-checktest-foe"
make_package tamurika-checktest-dep 0.9
make_package tamurika-checktest-other 1.0
make_package tamurika-checktest-user 1.0 "Depends: tamurika-checktest-dep"
make_package tamurika-checktest-foe 1.0

# The package of the build, depending on tamurika-checktest-dep (>= 1.0) besides.
made=$("$top/tools/make-deb" "$build" 2>"$tmp/make-deb.log") || { cat "$tmp/make-deb.log"; exit 1; }
dpkg-deb --raw-extract "$made" "$tmp/tamurika"
sed -i 's/^Depends: /Depends: tamurika-checktest-dep (>= 1.0), /' "$tmp/tamurika/DEBIAN/control"
deb=$tmp/$(basename "$made")
dpkg-deb --build --root-owner-group "$tmp/tamurika" "$deb" >/dev/null

# A repository with the dependency, and an apt that knows only it besides what is installed.
mkdir -p "$tmp/repo" "$tmp/lists/partial" "$tmp/cache/archives/partial" "$tmp/sources.list.d"
cp "$tmp/tamurika-checktest-dep_1.0_all.deb" "$tmp/repo/"
(cd "$tmp/repo" && dpkg-scanpackages . >Packages 2>/dev/null)
echo "deb [trusted=yes] file:$tmp/repo ./" >"$tmp/sources.list"
cat >"$tmp/apt.conf" <<EOF
Dir::Etc::SourceList "$tmp/sources.list";
Dir::Etc::SourceParts "$tmp/sources.list.d";
Dir::State::Lists "$tmp/lists";
Dir::Cache "$tmp/cache";
EOF
export APT_CONFIG=$tmp/apt.conf
apt-get update -qq >"$tmp/update.log" 2>&1 || { cat "$tmp/update.log"; exit 1; }

# --- Running the check -------------------------------------------------------------------------
# check NAME [VARIABLE=VALUE...]: runs tools/check-package on the package above; its output in
# $tmp/NAME.log (shown when something fails), its exit status in $status, the packages it said
# it installs in $planned (sorted), the installed packages before it in $tmp/NAME.before.
check() {
  scenario=$1
  shift
  installed_packages >"$tmp/$scenario.before"
  status=0
  env TAMURIKA_CHECK_PACKAGE_DEB="$deb" TAMURIKA_CHECK_PACKAGE_INSTALL_ONLY=1 "$@" \
    "$top/tools/check-package" "$build" >"$tmp/$scenario.log" 2>&1 || status=$?
  planned=$(sed -n 's/^check-package: installing exactly: //p' "$tmp/$scenario.log" | tr ' ' '\n' | sort | tr '\n' ' ')
  echo "$scenario: tools/check-package exited with $status"
}
# Each package installed before the last check is installed still.
kept_all() {
  local gone
  gone=$(installed_packages | comm -23 "$tmp/$scenario.before" -)
  [[ -z "$gone" ]] || failed "packages installed before the check are gone: $gone"
}
expect_state() {
  [[ "$(state "$1")" == "$2" ]] || failed "$1 is $(state "$1"), not $2"
}
said() {
  grep -qF -- "$1" "$tmp/$scenario.log" || failed "the check did not say: $1"
}
expect_status() {
  [[ "$status" == "$1" ]] || failed "the check exited with $status, not $1"
}
# What the check printed, when the scenario failed.
show_log() {
  ((failures == ${1:-0})) || sed "s/^/  $scenario | /" "$tmp/$scenario.log"
}
# A hook that records what dpkg has at that moment, then does what it is given.
make_hook() {
  local name=$1
  shift
  {
    echo '#!/bin/sh'
    echo 'set -e'
    # shellcheck disable=SC2028 # dpkg-query reads the "\n" itself
    echo "for p in tamurika tamurika-checktest-dep; do" \
      "dpkg-query -W -f='\${db:Status-Status}\n' \"\$p\" 2>/dev/null || echo not-installed;" \
      "done >'$tmp/$name.seen'"
    printf '%s\n' "$@"
  } >"$tmp/$name"
  chmod 755 "$tmp/$name"
}
# expect_hook_saw HOOK STATE: the hook ran, and saw tamurika and the dependency in that state.
expect_hook_saw() {
  [[ "$(tr '\n' ' ' 2>/dev/null <"$tmp/$1.seen")" == "$2 $2 " ]] ||
    failed "$1 did not run with tamurika and tamurika-checktest-dep $2"
}
dpkg_install() { DEBIAN_FRONTEND=noninteractive dpkg --install "$@" >/dev/null; }

# --- A lock held by another process ------------------------------------------------------------
# hold_lock KIND FILE: a process of this test that holds FILE's lock, taken by flock(2) or as a
# POSIX lock (fcntl, as dpkg and apt take theirs), until the test stops it; its PID in $holder
# once it holds the lock.
hold_lock() {
  local answer
  rm -f "$tmp/ready"
  mkfifo "$tmp/ready"
  python3 -c '
import fcntl, os, signal, sys
kind, path, ready = sys.argv[1:]
with open(ready, "w") as out:
    try:
        lock = open(path, "r+")
        if kind == "flock":
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        else:
            fcntl.lockf(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError as error:
        out.write("failed %s\n" % error)
        sys.exit(1)
    out.write("held %d\n" % os.getpid())
signal.pause()
' "$1" "$2" "$tmp/ready" &
  holders+=("$!")
  read -r answer holder <"$tmp/ready"
  [[ "$answer" == held && "$holder" == "$!" ]] ||
    { echo "FAIL: the test cannot hold the lock of $2: $answer $holder"; exit 1; }
}
release_lock() {
  kill "$holder"
  wait "$holder" || true
}

# The POSIX lock is taken on a lock that apt takes only to update its lists or to download, so
# that a package manager someone else runs on this machine meanwhile is kept waiting as little
# as possible (flock does not stop dpkg or apt at all). apt makes its lock files when it first
# needs them.
posix_lock=
for file in /var/lib/apt/lists/lock /var/cache/apt/archives/lock; do
  [[ -e "$file" ]] && { posix_lock=$file; break; }
done
[[ -n "$posix_lock" ]] || { echo "FAIL: apt has no lock file of its lists or archives yet"; exit 1; }
for lock in flock:/var/lib/dpkg/lock-frontend "posix:$posix_lock"; do
  kind=${lock%%:*} file=${lock#*:}
  hold_lock "$kind" "$file"
  before_failures=$failures
  check "lock-$kind"
  release_lock
  expect_status 1
  said "$file is held by process $holder"
  said "nothing was installed"
  [[ -z "$planned" ]] || failed "the check planned an install ($planned) although a lock was held"
  expect_state tamurika not-installed
  expect_state tamurika-checktest-dep not-installed
  installed_packages | cmp -s "$tmp/$scenario.before" - ||
    failed "the installed packages changed: $(installed_packages | diff "$tmp/$scenario.before" - | tr '\n' ' ')"
  show_log "$before_failures"
done

# --- Another program installs a package meanwhile ------------------------------------------------
before_failures=$failures
make_hook other-hook "DEBIAN_FRONTEND=noninteractive dpkg --install '$tmp/tamurika-checktest-other_1.0_all.deb' >/dev/null"
check meanwhile TAMURIKA_CHECK_PACKAGE_HOOK_INSTALLED="$tmp/other-hook"
expect_status 0
[[ "$planned" == "tamurika tamurika-checktest-dep " ]] ||
  failed "the check planned '$planned', not tamurika and tamurika-checktest-dep"
expect_hook_saw other-hook installed
expect_state tamurika-checktest-other installed
# What the check planned is back as it was before: each of these was not installed.
for package in $planned; do
  grep -qx "$package" "$tmp/$scenario.before" && failed "$package was installed before the check"
  expect_state "$package" not-installed
done
[[ ! -e /etc/tamurika-checktest-dep.conf ]] || failed "the dependency's configuration file is left"
kept_all
said "+tamurika-checktest-other"
show_log "$before_failures"
dpkg --purge tamurika-checktest-other >/dev/null

# --- A failure, and a signal, after the install ------------------------------------------------
before_failures=$failures
make_hook failing-hook "exit 3"
check failure TAMURIKA_CHECK_PACKAGE_HOOK_INSTALLED="$tmp/failing-hook"
expect_status 1
expect_hook_saw failing-hook installed
said "failing-hook (TAMURIKA_CHECK_PACKAGE_HOOK_INSTALLED) failed"
expect_state tamurika not-installed
expect_state tamurika-checktest-dep not-installed
kept_all
show_log "$before_failures"

before_failures=$failures
# shellcheck disable=SC2016 # $PPID of the hook: the check that runs it
make_hook signal-hook 'kill -TERM "$PPID"'
check signal TAMURIKA_CHECK_PACKAGE_HOOK_INSTALLED="$tmp/signal-hook"
expect_status 143
expect_hook_saw signal-hook installed
said "stopped with status 143 after the install: undoing it"
expect_state tamurika not-installed
expect_state tamurika-checktest-dep not-installed
kept_all
show_log "$before_failures"

# --- The dependency is needed by a package installed meanwhile ---------------------------------
before_failures=$failures
make_hook user-hook "DEBIAN_FRONTEND=noninteractive dpkg --install '$tmp/tamurika-checktest-user_1.0_all.deb' >/dev/null"
check needed TAMURIKA_CHECK_PACKAGE_HOOK_INSTALLED="$tmp/user-hook"
expect_status 1
said "FAILED TO REMOVE WHAT THIS CHECK INSTALLED: tamurika-checktest-dep"
said "dpkg --purge tamurika-checktest-dep"
expect_state tamurika not-installed
expect_state tamurika-checktest-user installed
expect_state tamurika-checktest-dep installed
kept_all
show_log "$before_failures"
dpkg --purge tamurika-checktest-user tamurika-checktest-dep >/dev/null

# --- Installs that would change what is there: refused ------------------------------------------
before_failures=$failures
dpkg_install "$tmp/tamurika-checktest-dep_0.9_all.deb"
check upgrade
expect_status 1
said "apt would change packages that are installed here (tamurika-checktest-dep [0.9])"
said "nothing was installed"
expect_state tamurika not-installed
[[ "$(dpkg-query -W -f='${Version}' tamurika-checktest-dep)" == 0.9 ]] ||
  failed "tamurika-checktest-dep is not at version 0.9 any more"
kept_all
show_log "$before_failures"
dpkg --purge tamurika-checktest-dep >/dev/null

before_failures=$failures
dpkg_install "$tmp/tamurika-checktest-foe_1.0_all.deb"
check removal
expect_status 1
said "apt would change packages that are installed here (tamurika-checktest-foe (removed))"
expect_state tamurika not-installed
expect_state tamurika-checktest-foe installed
expect_state tamurika-checktest-dep not-installed
kept_all
show_log "$before_failures"
dpkg --purge tamurika-checktest-foe >/dev/null

# --- Something changes between apt's plan and the install --------------------------------------
# Installed after the plan was taken, the package the dependency conflicts with would have to go
# for the install: apt refuses it, as planned and nothing else.
before_failures=$failures
make_hook foe-hook "DEBIAN_FRONTEND=noninteractive dpkg --install '$tmp/tamurika-checktest-foe_1.0_all.deb' >/dev/null"
check drift TAMURIKA_CHECK_PACKAGE_HOOK_PLANNED="$tmp/foe-hook"
expect_status 1
expect_hook_saw foe-hook not-installed
said "Trivial Only specified but this is not a trivial operation"
said "apt could not install the package as planned"
expect_state tamurika not-installed
expect_state tamurika-checktest-dep not-installed
expect_state tamurika-checktest-foe installed
kept_all
show_log "$before_failures"
dpkg --purge tamurika-checktest-foe >/dev/null

# --- A dependency removed before, its configuration kept -----------------------------------------
before_failures=$failures
dpkg_install "$tmp/tamurika-checktest-dep_1.0_all.deb"
DEBIAN_FRONTEND=noninteractive dpkg --remove tamurika-checktest-dep >/dev/null
echo "setting = changed by the family" >/etc/tamurika-checktest-dep.conf
check configured
expect_status 0
[[ "$planned" == "tamurika tamurika-checktest-dep " ]] ||
  failed "the check planned '$planned', not tamurika and tamurika-checktest-dep"
expect_state tamurika not-installed
expect_state tamurika-checktest-dep config-files
[[ "$(cat /etc/tamurika-checktest-dep.conf 2>/dev/null)" == "setting = changed by the family" ]] ||
  failed "/etc/tamurika-checktest-dep.conf is not as it was before the check"
kept_all
show_log "$before_failures"
dpkg --purge tamurika-checktest-dep >/dev/null

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all passed: tools/check-package removes exactly what it installed"
