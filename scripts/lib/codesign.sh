# Sourced by scripts/package (from the repository's root): the release exe's Authenticode signature, made
# with osslsigncode from a PKCS#12 certificate (SIGN_PFX, SIGN_PASSWORD, SIGN_TIMESTAMP_URL).  The
# certificate is checked before anything is built, so one that cannot sign stops the release early.

# The certificate's public parts, for the check and the verification (never the private key).
codesign_dir=build/package/sign
# The signing tool; OSSLSIGNCODE names another build of it (the tests run the signing with each version).
codesign_tool=${OSSLSIGNCODE:-osslsigncode}

# The password leaves the environment as soon as this file is read: the build and every other tool run
# without it, and only the commands that open the certificate are given it, each in its own environment.
codesign_password=${SIGN_PASSWORD-}
unset SIGN_PASSWORD

codesign_refuse() { echo "package: $*; nothing was signed or archived" >&2; exit 1; }

# openssl pkcs12 over SIGN_PFX with the given options.  A file exported by an older Windows uses ciphers
# that OpenSSL 3 keeps in its legacy provider, so a refusal without it is asked again with it.
codesign_pfx() {
  SIGN_PASSWORD=$codesign_password openssl pkcs12 -in "$SIGN_PFX" -passin env:SIGN_PASSWORD "$@" 2>/dev/null ||
    SIGN_PASSWORD=$codesign_password openssl pkcs12 -legacy -in "$SIGN_PFX" -passin env:SIGN_PASSWORD "$@" 2>/dev/null
}

# Options for osslsigncode verify: a version that would fetch the revocation lists named in the
# certificates is told not to (the check is of this signature, offline); older ones never fetch them and
# do not know the option.
codesign_verify_options() {
  local help
  help=$("$codesign_tool" --help 2>&1) || true
  [[ "$help" != *-ignore-cdp* ]] || echo -ignore-cdp
}

# Stops the script unless SIGN_PFX opens with SIGN_PASSWORD, holds a private key and the certificate for
# it, and that certificate signs code and is valid now.  Sets codesign_subject and codesign_until.
codesign_check() {
  [ -f "$SIGN_PFX" ] && [ -r "$SIGN_PFX" ] || codesign_refuse "SIGN_PFX: cannot read the certificate file $SIGN_PFX"
  if [ -n "${SIGN_TIMESTAMP_URL:-}" ] && [[ ! "$SIGN_TIMESTAMP_URL" =~ ^https?:// ]]; then
    codesign_refuse "SIGN_TIMESTAMP_URL must be an http:// or https:// address, not $SIGN_TIMESTAMP_URL"
  fi
  mkdir -p "$codesign_dir"
  local leaf=$codesign_dir/leaf.pem
  codesign_pfx -nokeys -clcerts -out "$leaf" ||
    codesign_refuse "cannot open $SIGN_PFX: wrong SIGN_PASSWORD, or not a PKCS#12 (.pfx) file"
  codesign_pfx -nocerts -nodes | openssl pkey -noout 2>/dev/null ||
    codesign_refuse "$SIGN_PFX holds no private key to sign with"
  openssl x509 -in "$leaf" -noout 2>/dev/null || codesign_refuse "$SIGN_PFX holds no certificate for its key"
  codesign_pfx -nokeys -out "$codesign_dir/all.pem" || codesign_refuse "cannot read the certificates of $SIGN_PFX"

  codesign_subject=$(openssl x509 -in "$leaf" -noout -subject -nameopt oneline,-esc_msb | sed 's/^subject= *//')
  codesign_until=$(openssl x509 -in "$leaf" -noout -enddate | cut -d= -f2)
  local from
  from=$(openssl x509 -in "$leaf" -noout -startdate | cut -d= -f2)
  openssl x509 -in "$leaf" -noout -checkend 0 >/dev/null ||
    codesign_refuse "the certificate in $SIGN_PFX ($codesign_subject) expired on $codesign_until"
  [ "$(date -d "$from" +%s)" -le "$(date +%s)" ] ||
    codesign_refuse "the certificate in $SIGN_PFX ($codesign_subject) is valid only from $from"
  # Windows accepts an Authenticode signature only from a certificate issued for code signing.
  openssl x509 -in "$leaf" -noout -ext extendedKeyUsage 2>/dev/null | grep -q 'Code Signing' ||
    codesign_refuse "the certificate in $SIGN_PFX ($codesign_subject) is not a code-signing certificate" \
                    "(its extended key usage does not include Code Signing)"
}

# codesign_sign <exe> <program name> <vendor address>: signs the exe in place (SHA-256, with the name and
# address as the signature's description, time-stamped when SIGN_TIMESTAMP_URL is given), then verifies
# that the file carries a signature by this certificate over its present bytes.  Stops the script when
# either fails.
codesign_sign() {
  local exe=$1 name=$2 url=$3 unsigned=$1.unsigned log=$codesign_dir/osslsigncode.log
  mv "$exe" "$unsigned"
  local args=(sign -pkcs12 "$SIGN_PFX" -h sha256 -n "$name" -i "$url" -in "$unsigned" -out "$exe")
  [ -n "${SIGN_TIMESTAMP_URL:-}" ] && args+=(-ts "$SIGN_TIMESTAMP_URL")
  local status=0
  # The password goes through a pipe, never the command line that other users' ps shows.  The pipe is
  # named /dev/stdin rather than "-": older versions (Debian 12's) open -readpass as a file and know no "-".
  if [ -n "$codesign_password" ]; then
    printf '%s' "$codesign_password" | "$codesign_tool" "${args[@]}" -readpass /dev/stdin >"$log" 2>&1 || status=$?
  else
    "$codesign_tool" "${args[@]}" </dev/null >"$log" 2>&1 || status=$?
  fi
  rm -f "$unsigned"
  if [ "$status" -ne 0 ] || [ ! -s "$exe" ]; then
    rm -f "$exe"
    sed 's/^/  | /' "$log" >&2
    codesign_refuse "osslsigncode could not sign the exe (status $status)"
  fi

  # Trusted here: the file's own certificates and this computer's authorities.  This proves the signature
  # and the digest; whether Windows trusts the issuer is the certificate authority's business.
  local trust=$codesign_dir/trust.pem leaf_hash
  cat "$codesign_dir/all.pem" >"$trust"
  [ -f /etc/ssl/certs/ca-certificates.crt ] && cat /etc/ssl/certs/ca-certificates.crt >>"$trust"
  leaf_hash=$(openssl x509 -in "$codesign_dir/leaf.pem" -outform DER | sha256sum | cut -c1-64)
  # shellcheck disable=SC2046  # the options are single words
  if ! "$codesign_tool" verify -in "$exe" -CAfile "$trust" $(codesign_verify_options) \
       -require-leaf-hash "sha256:$leaf_hash" >"$log" 2>&1; then
    rm -f "$exe"
    sed 's/^/  | /' "$log" >&2
    codesign_refuse "the signed exe does not verify"
  fi
}
