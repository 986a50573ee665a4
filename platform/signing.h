// The cryptography of signed invoices behind one small interface: a signing
// key loaded from a PKCS#12 file (its private RSA key and its certificate),
// RSA-SHA256 signatures with it, and SHA-256 digests. One file per platform:
// OpenSSL on POSIX, the system's own cryptography on Windows.
#ifndef TORVANE_PLATFORM_SIGNING_H_
#define TORVANE_PLATFORM_SIGNING_H_

#include <memory>
#include <string>
#include <string_view>

namespace torvane {

enum class SigningKeyStatus {
  kLoaded,
  kUnreadable,    // not a PKCS#12 file, or the password does not open it
  kNoPrivateKey,  // no private RSA key, or no certificate that goes with it
  kNotYetValid,   // the certificate's validity starts after now
  kExpired,       // the certificate's validity ended before now
};

// What the signature says of the signer's certificate.
struct SigningCertificate {
  std::string der;            // the certificate, DER
  std::string issuer_name;    // RFC 4514 (2253) string of the issuer
  std::string serial_number;  // decimal
};

class SigningKey {
 public:
  virtual ~SigningKey() = default;
  // The PKCS#1 v1.5 RSA signature of SHA-256(data); false when signing failed.
  virtual bool SignSha256(std::string_view data, std::string* signature) = 0;
  virtual const SigningCertificate& certificate() const = 0;
};

struct LoadedSigningKey {
  SigningKeyStatus status = SigningKeyStatus::kUnreadable;
  std::unique_ptr<SigningKey> key;  // set when status is kLoaded
};

// Opens the PKCS#12 bytes with the password and checks the certificate's
// validity at `now_seconds` (seconds since 1970-01-01 UTC).
LoadedSigningKey LoadSigningKey(std::string_view pkcs12, std::string_view password,
                                long long now_seconds);

// The SHA-256 digest of the bytes (32 bytes).
std::string Sha256(std::string_view data);

// A short English word for the status, for the report.
std::string_view SigningKeyStatusText(SigningKeyStatus status);

}  // namespace torvane

#endif  // TORVANE_PLATFORM_SIGNING_H_
