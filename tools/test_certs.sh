#!/bin/sh
# test_certs.sh FOLDER [NAME...]: a certificate authority of its own and
# server certificates for the TLS tests, the offline demo and the benchmark,
# made with the openssl command. FOLDER gets ca.crt (the root to trust, for
# HARVIO_CA_FILE) and, per certificate, NAME.crt and NAME.key:
#   good.test      signed by the CA, names good.test and the NAMEs given
#                  (a host name, or an address written IP:127.0.0.1)
#   wrong.test     signed by the CA, but names other.test only
#   expired.test   signed by the CA for good.test and expired.test, expired
#   self.test      names self.test, signed by itself
#   default        what a server shows a client that names no host
# Nothing is made again when FOLDER already holds them; runs at once each
# make their own and the first to finish puts its folder in place.
set -eu
folder=$1
shift
[ -s "$folder/default.crt" ] && exit 0
mkdir -p "$(dirname "$folder")"
work=$(mktemp -d "$folder.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

key() { openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$1.key" 2>/dev/null; }

# sign NAME DAYS HOST...: NAME.crt for the hosts, signed by the CA.
sign() {
  name=$1 days=$2
  shift 2
  key "$name"
  san=
  for host in "$@"; do
    case $host in IP:*) san="$san$host," ;; *) san="${san}DNS:$host," ;; esac
  done
  printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' \
    "${san%,}" >"$name.ext"
  openssl req -new -key "$name.key" -subj "/CN=$1" -out "$name.csr" 2>/dev/null
  openssl x509 -req -in "$name.csr" -CA ca.crt -CAkey ca.key -CAcreateserial \
    -days "$days" -extfile "$name.ext" -out "$name.crt" 2>/dev/null
  rm -f "$name.csr" "$name.ext"
}

key ca
openssl req -x509 -new -key ca.key -days 3650 -subj "/CN=Harvio Test CA" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
  -out ca.crt 2>/dev/null
sign good.test 3650 good.test "$@"
sign wrong.test 3650 other.test
# A negative validity ends before it begins: expired from the start.
sign expired.test -1 good.test expired.test
key self.test
openssl req -x509 -new -key self.test.key -days 3650 -subj "/CN=self.test" \
  -addext subjectAltName=DNS:self.test -out self.test.crt 2>/dev/null
cp good.test.crt default.crt
cp good.test.key default.key
rm -f ca.srl
chmod 755 "$work"
cd /
mv -T "$work" "$folder" 2>/dev/null || [ -s "$folder/default.crt" ]
