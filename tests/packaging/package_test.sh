#!/usr/bin/env bash
# Builds the brimletd package from the native tree into a scratch folder,
# unpacks it into a scratch root and checks what lands where, that lintian
# finds no error or warning and that systemd accepts the unit. Removes everything it
# made, also when a check fails.
#   package_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

fail() { echo "package test: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb="$(ls "$scratch"/out/brimletd_*.deb 2>/dev/null | head -n 1)"
[ -n "$deb" ] || fail "no brimletd_*.deb made"
echo "package: $(basename "$deb")"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for path in usr/sbin/brimletd lib/systemd/system/brimletd.service etc/logrotate.d/brimletd \
            usr/share/man/man8/brimletd.8.gz usr/share/doc/brimletd/copyright \
            usr/share/doc/brimletd/changelog.Debian.gz usr/share/doc/brimletd/README \
            usr/share/lintian/overrides/brimletd usr/bin/brimlet-report \
            usr/share/man/man1/brimlet-report.1.gz usr/lib/systemd/catalog/brimletd.catalog; do
  [ -f "$root/$path" ] || fail "/$path missing"
done
[ -x "$root/usr/sbin/brimletd" ] || fail "/usr/sbin/brimletd not executable"
grep -qx 'ExecStart=/usr/sbin/brimletd.*' "$root/lib/systemd/system/brimletd.service" ||
  fail "the unit does not start /usr/sbin/brimletd"
grep -q '/var/log/brimlet/brimletlog.txt' "$root/etc/logrotate.d/brimletd" ||
  fail "logrotate does not name /var/log/brimlet/brimletlog.txt"
if grep -Eq '^\s*(copytruncate|postrotate)' "$root/etc/logrotate.d/brimletd"; then
  fail "logrotate truncates or signals, yet the daemon reopens the file per entry"
fi
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "no shared-library dependencies"

# The catalog is one journalctl can read, with both alerts' identifiers.
mkdir -p "$scratch/catalog-root/var/lib/systemd/catalog" "$scratch/catalog-root/usr/lib/systemd"
cp -r "$root/usr/lib/systemd/catalog" "$scratch/catalog-root/usr/lib/systemd/"
journalctl --root="$scratch/catalog-root" --update-catalog ||
  fail "journalctl cannot read the catalog"
[ "$(journalctl --root="$scratch/catalog-root" --list-catalog | grep -c ' brimletd: ')" = 2 ] ||
  fail "the catalog does not explain both alert identifiers"

zcat "$root/usr/share/man/man8/brimletd.8.gz" | grep -q '^\.TH BRIMLETD 8' ||
  fail "man page has no .TH BRIMLETD 8 header"

grep -qx 'Type=notify' "$root/lib/systemd/system/brimletd.service" ||
  fail "the unit is not Type=notify"
grep -qx 'Documentation=man:brimletd(8)' "$root/lib/systemd/system/brimletd.service" ||
  fail "the unit names no documentation"

# No error and no warning; among the informational tags, none about the
# hardening flags and no override that has nothing left to override.
# A lintian that is missing, or that cannot read the package, prints no tag
# either: its run must name the package. It always does when it read it: the
# package overrides tags, which --show-overrides prints (O:).
command -v lintian >/dev/null || fail "lintian is missing (make setup)"
lintian_status=0
lintian --show-overrides --tag-display-limit 0 --display-info "$deb" >"$scratch/lintian.log" 2>&1 ||
  lintian_status=$?
cat "$scratch/lintian.log"
grep -q '^[EWIO]: brimletd: ' "$scratch/lintian.log" ||
  fail "lintian did not read the package (status $lintian_status)"
[ "$lintian_status" -le 1 ] || fail "lintian failed (status $lintian_status)"
if grep -q '^[EW]:' "$scratch/lintian.log"; then fail "lintian reports errors or warnings"; fi
if grep -Eq '^I: [^ ]+ (hardening-|unused-override|mismatched-override)' "$scratch/lintian.log"; then
  fail "lintian: binary built without hardening flags, or an override that matches nothing"
fi

# systemd-analyze checks the unit against the unpacked binary: a copy of the
# unit that points into the scratch root.
sed "s|^ExecStart=/usr/sbin/brimletd|ExecStart=$root/usr/sbin/brimletd|" \
  "$root/lib/systemd/system/brimletd.service" >"$scratch/brimletd.service"
if ! SYSTEMD_LOG_LEVEL=warning systemd-analyze verify --man=no "$scratch/brimletd.service" \
     >"$scratch/verify.log" 2>&1; then
  cat "$scratch/verify.log" >&2
  fail "systemd-analyze verify rejects the unit"
fi
echo "package test: passed"
