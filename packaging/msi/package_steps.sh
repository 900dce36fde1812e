# package_steps.sh: what both installer builds do alike, sourced by
# build_msi.sh and build_brimletd_msi.sh. Each function stops the build
# with the calling script's name on a fault.

# Windows Installer's limits are 255.255.65535; the newer-version row that
# finish_package writes needs the major version to stay at 127 or below.
check_version() {  # script version
  if ! [[ "$2" =~ ^([0-9]{1,3})\.([0-9]{1,3})\.([0-9]{1,5})$ ]] ||
     [ "${BASH_REMATCH[1]}" -gt 127 ] || [ "${BASH_REMATCH[2]}" -gt 255 ] ||
     [ "${BASH_REMATCH[3]}" -gt 65535 ] || [ "$2" = 127.255.65535 ]; then
    echo "$1: version \"$2\" is not major.minor.patch up to 127.255.65534" >&2
    exit 1
  fi
}

# A code derived from another and a name: the same inputs, the same code.
uuid5() {  # base-uuid name
  python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' "$@"
}

# The fixes every package built by wixl needs, then the package moved to
# `output`.
finish_package() {  # package upgrade-code version secure-properties output
  local package="$1" upgrade_code="$2" version="$3" secure="$4" output="$5" current
  # The properties must reach the part of the installation that runs
  # elevated also when msiexec was started without elevation; wixl writes
  # only its own upgrade properties into SecureCustomProperties.
  current="$(msiinfo export "$package" Property | awk -F'\t' '$1 == "SecureCustomProperties" { print $2 }' | tr -d '\r')"
  msibuild "$package" -q \
    "UPDATE \`Property\` SET \`Value\` = '${current:+$current;}$secure' WHERE \`Property\` = 'SecureCustomProperties'"
  # wixl leaves the newer-version row without an upper bound: "any newer
  # version" to Windows, but Wine's installer compares against a missing
  # bound as version 0 and never sees a newer version, so the older package
  # would install over it. The row gets an upper bound that both read alike;
  # Wine subtracts the two versions as 32-bit numbers, so the bound must stay
  # within 2^31 of the installed version: major version 127 is the highest.
  # (The bounds are part of the row's key: the row is replaced.)
  msibuild "$package" -q \
    "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_DOWNGRADE_DETECTED'"
  msibuild "$package" -q \
    "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('{$upgrade_code}', '$version', '127.255.65535', 514, 'WIX_DOWNGRADE_DETECTED')"
  # The older version is removed before this one is installed (as WiX does
  # by default), not after: wixl schedules the removal after the
  # installation, and Wine's installer then also deletes the new version's
  # entry under the upgrade code, so no later upgrade or downgrade would
  # find it.
  msibuild "$package" -q \
    "UPDATE \`InstallExecuteSequence\` SET \`Sequence\` = 1401 WHERE \`Action\` = 'RemoveExistingProducts'"
  mkdir -p "$(dirname "$output")"
  mv "$package" "$output"
}
