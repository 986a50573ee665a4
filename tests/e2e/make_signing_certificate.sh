#!/usr/bin/env bash
# Makes a throw-away certificate authority and a 2048-bit RSA signing
# certificate issued by it, for signing invoices in tests and in the demo:
#   make_signing_certificate.sh DIR PASSWORD [DAYS]
# DIR gets ca.pem (the authority, to verify with), signer.p12 (key and
# certificate, opened with PASSWORD) and, with DAYS below 0 or 0, a
# certificate that is already expired.
set -euo pipefail
dir=$1 password=$2 days=${3:-30}
mkdir -p "$dir"
cd "$dir"
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 30 \
  -subj "/C=ES/O=Prova/CN=Autoritat de prova" -addext basicConstraints=critical,CA:TRUE \
  -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr \
  -subj "/C=ES/O=Administracio de prova/CN=Signant de prova" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,nonRepudiation\n' >signer.ext
if [ "$days" -gt 0 ]; then
  openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out signer.pem \
    -days "$days" -extfile signer.ext 2>/dev/null
else
  # Valid from two days ago until yesterday: "openssl ca" takes both dates.
  : >index.txt
  printf '[ca]\ndefault_ca=test\n[test]\ndatabase=index.txt\nnew_certs_dir=.\n' >ca.cnf
  printf 'serial=serial\ndefault_md=sha256\npolicy=any\n[any]\ncommonName=supplied\n' >>ca.cnf
  echo 01 >serial
  openssl ca -batch -config ca.cnf -cert ca.pem -keyfile ca.key -in signer.csr -out signer.pem \
    -startdate "$(date -u -d '2 days ago' +%Y%m%d%H%M%SZ)" \
    -enddate "$(date -u -d '1 day ago' +%Y%m%d%H%M%SZ)" -extfile signer.ext -notext 2>/dev/null
  rm -f index.txt* ca.cnf serial* ./*.pem.old 01.pem
fi
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -out signer.p12 \
  -passout "pass:$password"
rm -f signer.csr signer.ext ca.srl
