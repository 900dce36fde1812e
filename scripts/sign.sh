#!/usr/bin/env bash
# sign.sh FILE...
# Signs each FILE (a Windows program or an .msi) in place with an
# Authenticode SHA-256 signature, replacing a signature it already carries.
# The certificate and key are the administrator's, named in the environment:
#   SIGN_PKCS12          a PKCS#12 file (.p12/.pfx) holding certificate and key
#   SIGN_PASSWORD_FILE   optional: a file whose first line is its password
# or, for a key kept in a hardware token or smart card:
#   SIGN_PKCS11_MODULE   the token's PKCS#11 module (e.g. opensc-pkcs11.so)
#   SIGN_PKCS11_CERT     the certificate: a PKCS#11 URI or a PEM/DER file
#   SIGN_PKCS11_KEY      the key's PKCS#11 URI (e.g. "pkcs11:token=...;object=...")
#   SIGN_PKCS11_ENGINE   optional: the OpenSSL PKCS#11 engine, if not the default
#   SIGN_PASSWORD_FILE   optional: the token's PIN, as above
# and in both cases
#   SIGN_TIMESTAMP_URL   optional: an RFC 3161 time-stamping address, so the
#                        signature stays valid after the certificate expires
# Nothing secret is passed on a command line: passwords are read from files.
set -euo pipefail
description="${SIGN_DESCRIPTION:-Brimlet}"
url="${SIGN_URL:-}"

if [ $# -eq 0 ]; then
  echo "usage: sign.sh FILE..." >&2; exit 2
fi
command -v osslsigncode >/dev/null || { echo "sign: osslsigncode is missing (make setup)" >&2; exit 1; }

key_args=()
if [ -n "${SIGN_PKCS12:-}" ]; then
  [ -r "$SIGN_PKCS12" ] || { echo "sign: cannot read SIGN_PKCS12=$SIGN_PKCS12" >&2; exit 1; }
  key_args=(-pkcs12 "$SIGN_PKCS12")
elif [ -n "${SIGN_PKCS11_MODULE:-}" ]; then
  if [ -z "${SIGN_PKCS11_CERT:-}" ] || [ -z "${SIGN_PKCS11_KEY:-}" ]; then
    echo "sign: SIGN_PKCS11_MODULE needs SIGN_PKCS11_CERT and SIGN_PKCS11_KEY" >&2; exit 1
  fi
  key_args=(-pkcs11module "$SIGN_PKCS11_MODULE")
  [ -n "${SIGN_PKCS11_ENGINE:-}" ] && key_args=(-pkcs11engine "$SIGN_PKCS11_ENGINE" "${key_args[@]}")
  if [ -f "$SIGN_PKCS11_CERT" ]; then
    key_args+=(-certs "$SIGN_PKCS11_CERT")
  else
    key_args+=(-pkcs11cert "$SIGN_PKCS11_CERT")
  fi
  key_args+=(-key "$SIGN_PKCS11_KEY")
  # A PIN in the URI would stand in the environment and on osslsigncode's
  # command line, which every user of the machine can read.
  for uri in "$SIGN_PKCS11_CERT" "$SIGN_PKCS11_KEY"; do
    if [[ "$uri" == pkcs11:* && "$uri" =~ [\;?]pin-value= ]]; then
      echo "sign: refused: a PKCS#11 URI carries the PIN (pin-value=); put the PIN in a file" \
           "readable only by you and name it with SIGN_PASSWORD_FILE" >&2
      exit 1
    fi
  done
else
  echo "sign: name the certificate and key: SIGN_PKCS12=FILE, or SIGN_PKCS11_MODULE," \
       "SIGN_PKCS11_CERT and SIGN_PKCS11_KEY (see README)" >&2
  exit 1
fi
if [ -n "${SIGN_PASSWORD_FILE:-}" ]; then
  [ -r "$SIGN_PASSWORD_FILE" ] || { echo "sign: cannot read SIGN_PASSWORD_FILE" >&2; exit 1; }
  key_args+=(-readpass "$SIGN_PASSWORD_FILE")
fi
other_args=(-h sha256 -n "$description")
[ -n "$url" ] && other_args+=(-i "$url")
[ -n "${SIGN_TIMESTAMP_URL:-}" ] && other_args+=(-ts "$SIGN_TIMESTAMP_URL")

# Whatever ends the run (a failure, Ctrl-C, a stop), the file being signed
# keeps its old content and no half-signed copy or temporary folder is left:
# osslsigncode refuses to overwrite one the next time.
work=""; pending=""
clean_up() { rm -rf "${work:-}" ${pending:+"$pending"}; }
trap clean_up EXIT
trap 'clean_up; trap - INT; kill -INT $$' INT
trap 'clean_up; exit 143' TERM
trap 'clean_up; exit 129' HUP

for file in "$@"; do
  [ -f "$file" ] || { echo "sign: no file $file" >&2; exit 1; }
  work="$(mktemp -d)"
  pending="$file.signing"
  rm -f "$pending"  # left by a run stopped before this clean-up existed
  source="$file"
  # A signed file is signed afresh, not given a second signature.
  if osslsigncode extract-signature -in "$file" -out "$work/old.sig" >/dev/null 2>&1; then
    osslsigncode remove-signature -in "$file" -out "$work/unsigned" >/dev/null ||
      { rm -rf "$work"; echo "sign: cannot remove the signature of $file" >&2; exit 1; }
    source="$work/unsigned"
  fi
  if ! osslsigncode sign "${key_args[@]}" "${other_args[@]}" -in "$source" -out "$file.signing" \
       >"$work/log" 2>&1; then
    cat "$work/log" >&2; rm -rf "$work" "$file.signing"
    echo "sign: signing $file failed" >&2; exit 1
  fi
  # Replaced whole (a rename beside it), keeping its permissions: a
  # half-written file is never left.
  chmod --reference="$file" "$file.signing"
  mv "$file.signing" "$file"
  pending=""
  rm -rf "$work"; work=""
  echo "sign: $file"
done
