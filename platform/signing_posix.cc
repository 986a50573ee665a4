// The signing key on POSIX, with OpenSSL: PKCS12_parse for the key and the
// certificate, EVP_DigestSign for RSA-SHA256 and EVP_Digest for SHA-256.
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>

#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/signing.h"

namespace torvane {
namespace {

struct Pkcs12Free {
  void operator()(PKCS12* p) const { PKCS12_free(p); }
};
struct KeyFree {
  void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
};
struct CertificateFree {
  void operator()(X509* p) const { X509_free(p); }
};
struct ChainFree {
  void operator()(STACK_OF(X509) * p) const { sk_X509_pop_free(p, X509_free); }
};
struct BioFree {
  void operator()(BIO* p) const { BIO_free(p); }
};
struct DigestContextFree {
  void operator()(EVP_MD_CTX* p) const { EVP_MD_CTX_free(p); }
};

std::string IssuerName(X509* certificate) {
  std::unique_ptr<BIO, BioFree> out(BIO_new(BIO_s_mem()));
  if (out == nullptr) return "";
  if (X509_NAME_print_ex(out.get(), X509_get_issuer_name(certificate), 0,
                         XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) < 0) {
    return "";
  }
  char* data = nullptr;
  const long size = BIO_get_mem_data(out.get(), &data);
  return size > 0 ? std::string(data, static_cast<size_t>(size)) : std::string();
}

std::string SerialNumber(X509* certificate) {
  BIGNUM* number = ASN1_INTEGER_to_BN(X509_get0_serialNumber(certificate), nullptr);
  if (number == nullptr) return "";
  char* text = BN_bn2dec(number);
  BN_free(number);
  if (text == nullptr) return "";
  std::string serial(text);
  OPENSSL_free(text);
  return serial;
}

std::string Der(X509* certificate) {
  unsigned char* data = nullptr;
  const int size = i2d_X509(certificate, &data);
  if (size <= 0) return "";
  std::string der(reinterpret_cast<const char*>(data), static_cast<size_t>(size));
  OPENSSL_free(data);
  return der;
}

class OpenSslSigningKey final : public SigningKey {
 public:
  OpenSslSigningKey(EVP_PKEY* key, SigningCertificate certificate)
      : key_(key), certificate_(std::move(certificate)) {}

  bool SignSha256(std::string_view data, std::string* signature) override {
    std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (context == nullptr ||
        EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key_.get()) != 1) {
      return false;
    }
    size_t size = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    if (EVP_DigestSign(context.get(), nullptr, &size, bytes, data.size()) != 1) return false;
    signature->resize(size);
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature->data()), &size,
                       bytes, data.size()) != 1) {
      return false;
    }
    signature->resize(size);
    return true;
  }

  const SigningCertificate& certificate() const override { return certificate_; }

 private:
  std::unique_ptr<EVP_PKEY, KeyFree> key_;
  SigningCertificate certificate_;
};

}  // namespace

LoadedSigningKey LoadSigningKey(std::string_view pkcs12, std::string_view password,
                                long long now_seconds) {
  LoadedSigningKey loaded;
  const auto* bytes = reinterpret_cast<const unsigned char*>(pkcs12.data());
  std::unique_ptr<PKCS12, Pkcs12Free> file(
      d2i_PKCS12(nullptr, &bytes, static_cast<long>(pkcs12.size())));
  EVP_PKEY* raw_key = nullptr;
  X509* raw_certificate = nullptr;
  STACK_OF(X509)* raw_chain = nullptr;
  const std::string password_text(password);
  const bool parsed = file != nullptr && PKCS12_parse(file.get(), password_text.c_str(), &raw_key,
                                                      &raw_certificate, &raw_chain) == 1;
  std::unique_ptr<EVP_PKEY, KeyFree> key(raw_key);
  std::unique_ptr<X509, CertificateFree> certificate(raw_certificate);
  std::unique_ptr<STACK_OF(X509), ChainFree> chain(raw_chain);
  ERR_clear_error();
  if (!parsed) return loaded;
  if (key == nullptr || certificate == nullptr || EVP_PKEY_base_id(key.get()) != EVP_PKEY_RSA ||
      X509_check_private_key(certificate.get(), key.get()) != 1) {
    ERR_clear_error();
    loaded.status = SigningKeyStatus::kNoPrivateKey;
    return loaded;
  }
  const auto now = static_cast<time_t>(now_seconds);
  if (X509_cmp_time(X509_get0_notBefore(certificate.get()), const_cast<time_t*>(&now)) > 0) {
    loaded.status = SigningKeyStatus::kNotYetValid;
    return loaded;
  }
  if (X509_cmp_time(X509_get0_notAfter(certificate.get()), const_cast<time_t*>(&now)) < 0) {
    loaded.status = SigningKeyStatus::kExpired;
    return loaded;
  }
  SigningCertificate described{Der(certificate.get()), IssuerName(certificate.get()),
                               SerialNumber(certificate.get())};
  if (described.der.empty() || described.issuer_name.empty() || described.serial_number.empty()) {
    loaded.status = SigningKeyStatus::kUnreadable;
    return loaded;
  }
  loaded.status = SigningKeyStatus::kLoaded;
  loaded.key = std::make_unique<OpenSslSigningKey>(key.release(), std::move(described));
  return loaded;
}

std::string Sha256(std::string_view data) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_Digest(data.data(), data.size(), digest, &size, EVP_sha256(), nullptr) != 1) return "";
  return std::string(reinterpret_cast<const char*>(digest), size);
}

}  // namespace torvane
