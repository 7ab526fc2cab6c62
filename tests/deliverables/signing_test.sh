#!/bin/bash
# signing_test.sh pki DIR: makes a throwaway CA, a code-signing certificate
#   it issued (DIR/signer.pfx, its password in DIR/password) and another CA
#   that issued nothing (DIR/other-ca.pem).
# signing_test.sh check DIR PE_CHECKSUM EXE... MONITOR: signs copies of the
#   programs with tools/sign-files as the release build does and verifies
#   each against the throwaway CA and not against the other, and so the port
#   driver taken back out of the monitor (resource 164 "BIN"), whose PE
#   checksum must be right.
set -euo pipefail
mode=$1 pki=$2
if [ "$mode" = pki ]; then
    mkdir -p "$pki" && cd "$pki"
    ca() { openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=$1" -keyout "$2.key" -out "$2.pem" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign 2>/dev/null; }
    ca "Throwaway Test CA" ca && ca "Another Test CA" other-ca
    openssl req -newkey rsa:2048 -nodes -subj "/CN=Throwaway Test Signer" -keyout signer.key -out signer.csr 2>/dev/null
    printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
    openssl x509 -req -days 3650 -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -extfile signer.ext \
        -out signer.pem 2>/dev/null
    echo "throwaway $RANDOM$RANDOM" >password
    exec openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout file:password \
        -out signer.pfx
fi
checksum=$3; shift 3
sign_files=$(dirname "$0")/../../tools/sign-files
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
mkdir "$work/unsigned"
files=()
for exe in "$@"; do cp "$exe" "$work/unsigned/" && cp "$exe" "$work/" && files+=("$work/${exe##*/}"); done
export SIGN_PFX=$pki/signer.pfx SIGN_PASSWORD_FILE=$pki/password

# A signature that does not verify (against a CA that issued nothing) signs no file.
! SIGN_CA_FILE=$pki/other-ca.pem "$sign_files" "${files[@]}" >"$work/log" 2>&1 || fail "signed what did not verify"
for f in "${files[@]}"; do cmp "$f" "$work/unsigned/${f##*/}" || fail "$f changed by a failed signing"; done
! ls "$work"/*.signing 2>/dev/null || fail "a failed signing left copies"

"$sign_files" "${files[@]}"
driver=$work/hwinterface.sys
wrestool -x -R -t +BIN -n 164 -o "$driver" "${files[-1]}"
[ -s "$driver" ] || fail "${files[-1]} carries no port driver (resource 164 BIN)"
cp "$driver" "$work/summed.sys" && "$checksum" "$work/summed.sys"
cmp "$driver" "$work/summed.sys" || fail "the signed driver's PE checksum is wrong"

verified() { osslsigncode verify -CAfile "$2" -in "$1" >"$work/log" 2>&1; }
for f in "${files[@]}" "$driver"; do
    verified "$f" "$pki/ca.pem" || { cat "$work/log"; fail "$f is not verified against the throwaway CA"; }
    ! verified "$f" "$pki/other-ca.pem" || fail "$f is verified against a CA that issued nothing"
    echo "${f##*/}: signed, verified against the throwaway CA only"
done
