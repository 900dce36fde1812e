#!/usr/bin/env bash
# sign_test.sh SCRIPTS_DIR BUILD_MSI CONFIG_FILE BRIMLET_EXE BRIMLETD_EXE
# scripts/sign.sh with a throw-away certificate made here with openssl:
# copies of brimlet.exe and brimletd.exe are signed, the package is built
# from the signed program (as make sign does) and signed too; osslsigncode
# accepts all three SHA-256 signatures and the program inside the package
# carries its own; signing again replaces the signature; a file changed
# after signing is rejected; without a named certificate nothing is signed.
set -uo pipefail
scripts="$(realpath "$1")"; build_msi="$(realpath "$2")"; config="$(realpath "$3")"
brimlet="$(realpath "$4")"; brimletd="$(realpath "$5")"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
cd "$work" || exit 1

openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Brimlet test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout key.pem -out cert.pem >/dev/null 2>&1 ||
  fail "openssl cannot make a certificate"
echo "not-a-real-secret-$$" >password
openssl pkcs12 -export -inkey key.pem -in cert.pem -passout file:password -out signer.p12 \
  >/dev/null 2>&1 || fail "openssl cannot make the PKCS#12 file"

# verify FILE: the signature checks against the test certificate.
verify() { osslsigncode verify -CAfile cert.pem -in "$1" >"$1.verify" 2>&1; }

cp "$brimlet" brimlet.exe; cp "$brimletd" brimletd.exe
cp brimlet.exe unsigned.exe

# Without a certificate: refused, nothing touched.
if SIGN_PKCS12= SIGN_PKCS11_MODULE= bash "$scripts/sign.sh" brimlet.exe >refusal.txt 2>&1; then
  fail "sign.sh signed without a certificate"
fi
grep -q "name the certificate" refusal.txt || fail "no clear message without a certificate: $(cat refusal.txt)"
cmp -s brimlet.exe unsigned.exe || fail "sign.sh changed the file without a certificate"
verify unsigned.exe && fail "the unsigned program verifies"

export SIGN_PKCS12="$work/signer.p12" SIGN_PASSWORD_FILE="$work/password"
bash "$scripts/sign.sh" brimlet.exe brimletd.exe >/dev/null || fail "signing the programs failed"
bash "$build_msi" brimlet.msi brimlet.exe 1.0.0 "$config" >/dev/null || fail "building the package failed"
bash "$scripts/sign.sh" brimlet.msi >/dev/null || fail "signing the package failed"
for file in brimlet.exe brimletd.exe brimlet.msi; do
  verify "$file" || { cat "$file.verify"; fail "$file does not verify"; }
  grep -Eqi 'digest algorithm *: *SHA256' "$file.verify" || fail "$file: not a SHA-256 signature"
  grep -q 'Brimlet test signer' "$file.verify" || fail "$file: not signed by the test certificate"
done
mkdir extracted
msiextract -C extracted brimlet.msi >/dev/null || fail "msiextract failed"
inside="$(find extracted -iname brimlet.exe | head -n 1)"
[ -n "$inside" ] || fail "no brimlet.exe in the package"
verify "$inside" || fail "the packaged brimlet.exe carries no valid signature"

# Signing a signed file again leaves one valid signature.
bash "$scripts/sign.sh" brimlet.exe >/dev/null || fail "signing again failed"
verify brimlet.exe || fail "the program signed twice does not verify"
grep -q 'Number of verified signatures: 1$' brimlet.exe.verify || fail "signed twice: not one signature"

# Changed after signing: rejected. A byte of the program's code; a value of
# the package's property table.
cp brimlet.exe changed.exe
printf '\x90' | dd of=changed.exe bs=1 seek=4096 conv=notrunc 2>/dev/null
cmp -s changed.exe brimlet.exe && fail "the change did not change the program"
verify changed.exe && fail "a program changed after signing verifies"
cp brimlet.msi changed.msi
msibuild changed.msi -q "UPDATE \`Property\` SET \`Value\` = 'evil' WHERE \`Property\` = 'LOGHOST'" ||
  fail "cannot change the package"
verify changed.msi && fail "a package changed after signing verifies"
echo "1 passed, 0 failed"
