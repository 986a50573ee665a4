// The signing key on Windows, with the system's own cryptography: the
// PKCS#12 file is imported by PFXImportCertStore into a memory store (its key
// not persisted), the certificate with a private key is taken from it, and
// signatures are made with CNG (NCryptSignHash) or, for a key that only the
// older CryptoAPI holds, with an AES-capable provider of the same container.
// Digests are CNG's (BCrypt).
#include <windows.h>

#include <bcrypt.h>
#include <ncrypt.h>
#include <wincrypt.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/signing.h"

#ifndef PKCS12_NO_PERSIST_KEY
#define PKCS12_NO_PERSIST_KEY 0x00008000
#endif

namespace torvane {
namespace {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr unsigned long long kUnixEpochInFileTime = 116444736000000000ULL;
constexpr unsigned long long kFileTimePerSecond = 10000000ULL;

long long UnixSeconds(const FILETIME& time) {
  const unsigned long long ticks =
      (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return static_cast<long long>((ticks - kUnixEpochInFileTime) / kFileTimePerSecond);
}

std::wstring Wide(std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  }
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
  }
  return text;
}

std::string IssuerName(PCCERT_CONTEXT certificate) {
  const DWORD flags = CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG;
  CERT_NAME_BLOB* issuer = &certificate->pCertInfo->Issuer;
  const DWORD size = CertNameToStrW(X509_ASN_ENCODING, issuer, flags, nullptr, 0);
  if (size <= 1) return "";
  std::wstring name(size, L'\0');
  CertNameToStrW(X509_ASN_ENCODING, issuer, flags, name.data(), size);
  name.resize(size - 1);  // without the terminating zero
  // RFC 4514 joins the names with "," alone: the blank after each separator
  // goes (values with a comma or blank come quoted).
  std::wstring joined;
  bool quoted = false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == L'"') quoted = !quoted;
    joined.push_back(name[i]);
    if (!quoted && name[i] == L',' && i + 1 < name.size() && name[i + 1] == L' ') ++i;
  }
  return Utf8(joined);
}

// The serial number (held least significant byte first) in decimal.
std::string SerialNumber(PCCERT_CONTEXT certificate) {
  const CRYPT_INTEGER_BLOB& serial = certificate->pCertInfo->SerialNumber;
  std::vector<unsigned> digits(serial.pbData, serial.pbData + serial.cbData);  // base 256
  std::string decimal;
  auto is_zero = [&] {
    for (const unsigned d : digits) {
      if (d != 0) return false;
    }
    return true;
  };
  while (!digits.empty() && !is_zero()) {
    unsigned remainder = 0;
    for (size_t i = digits.size(); i-- > 0;) {
      const unsigned value = remainder * 256 + digits[i];
      digits[i] = value / 10;
      remainder = value % 10;
    }
    decimal.insert(decimal.begin(), static_cast<char>('0' + remainder));
  }
  return decimal.empty() ? "0" : decimal;
}

bool Sha256Bytes(std::string_view data, unsigned char (&digest)[32]) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) {
    return false;
  }
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
  ok = ok && BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data())),
                            static_cast<ULONG>(data.size()), 0) == 0;
  ok = ok && BCryptFinishHash(hash, digest, sizeof digest, 0) == 0;
  if (hash != nullptr) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return ok;
}

// Lets go of a key; a CryptoAPI key that the import had to keep in the
// user's key store (`persisted`) has its container deleted, so nothing of
// the certificate stays behind.
void FreeKey(HCRYPTPROV_OR_NCRYPT_KEY_HANDLE key, DWORD key_spec, bool persisted) {
  if (key_spec == CERT_NCRYPT_KEY_SPEC) {
    if (persisted) {
      NCryptDeleteKey(key, 0);  // frees the handle too
    } else {
      NCryptFreeObject(key);
    }
    return;
  }
  char container[MAX_PATH];
  char provider_name[MAX_PATH];
  DWORD provider_type = 0;
  DWORD size = sizeof container;
  bool named = persisted &&
               CryptGetProvParam(key, PP_CONTAINER, reinterpret_cast<BYTE*>(container), &size, 0);
  size = sizeof provider_name;
  named =
      named && CryptGetProvParam(key, PP_NAME, reinterpret_cast<BYTE*>(provider_name), &size, 0);
  size = sizeof provider_type;
  named = named &&
          CryptGetProvParam(key, PP_PROVTYPE, reinterpret_cast<BYTE*>(&provider_type), &size, 0);
  CryptReleaseContext(key, 0);
  HCRYPTPROV deleted = 0;
  if (named) {
    CryptAcquireContextA(&deleted, container, provider_name, provider_type, CRYPT_DELETEKEYSET);
  }
}

class WindowsSigningKey final : public SigningKey {
 public:
  WindowsSigningKey(HCERTSTORE store, PCCERT_CONTEXT certificate,
                    HCRYPTPROV_OR_NCRYPT_KEY_HANDLE key, DWORD key_spec, bool free_key,
                    bool persisted, SigningCertificate described)
      : store_(store),
        certificate_context_(certificate),
        key_(key),
        key_spec_(key_spec),
        free_key_(free_key),
        persisted_(persisted),
        certificate_(std::move(described)) {}

  ~WindowsSigningKey() override {
    if (free_key_) FreeKey(key_, key_spec_, persisted_);
    CertFreeCertificateContext(certificate_context_);
    CertCloseStore(store_, 0);
  }

  bool SignSha256(std::string_view data, std::string* signature) override {
    return key_spec_ == CERT_NCRYPT_KEY_SPEC ? SignWithCng(data, signature)
                                             : SignWithCryptoApi(data, signature);
  }

  const SigningCertificate& certificate() const override { return certificate_; }

 private:
  bool SignWithCng(std::string_view data, std::string* signature) {
    unsigned char digest[32];
    if (!Sha256Bytes(data, digest)) return false;
    BCRYPT_PKCS1_PADDING_INFO padding{BCRYPT_SHA256_ALGORITHM};
    DWORD size = 0;
    if (NCryptSignHash(key_, &padding, digest, sizeof digest, nullptr, 0, &size,
                       BCRYPT_PAD_PKCS1) != 0) {
      return false;
    }
    signature->resize(size);
    if (NCryptSignHash(key_, &padding, digest, sizeof digest,
                       reinterpret_cast<PBYTE>(signature->data()), size, &size,
                       BCRYPT_PAD_PKCS1) != 0) {
      return false;
    }
    signature->resize(size);
    return true;
  }

  // The older providers may not know SHA-256: the key's container is opened
  // again with the AES provider, which does.
  bool SignWithCryptoApi(std::string_view data, std::string* signature) {
    HCRYPTPROV provider = key_;
    HCRYPTPROV aes_provider = 0;
    HCRYPTHASH hash = 0;
    if (!CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash)) {
      char container[MAX_PATH];
      DWORD size = sizeof container;
      if (!CryptGetProvParam(provider, PP_CONTAINER, reinterpret_cast<BYTE*>(container), &size,
                             0) ||
          !CryptAcquireContextA(&aes_provider, container, nullptr, PROV_RSA_AES, CRYPT_SILENT)) {
        return false;
      }
      provider = aes_provider;
      if (!CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash)) {
        CryptReleaseContext(aes_provider, 0);
        return false;
      }
    }
    // A PKCS#12 key is imported as a key-exchange pair unless it is marked
    // for signing only (some providers report both bits).
    const DWORD spec = key_spec_ == AT_SIGNATURE ? AT_SIGNATURE : AT_KEYEXCHANGE;
    DWORD size = 0;
    bool ok = CryptHashData(hash, reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size()), 0) &&
              CryptSignHashA(hash, spec, nullptr, 0, nullptr, &size);
    if (ok) {
      signature->resize(size);
      ok =
          CryptSignHashA(hash, spec, nullptr, 0, reinterpret_cast<BYTE*>(signature->data()), &size);
      signature->resize(size);
      // CryptoAPI gives the signature least significant byte first.
      std::string reversed(signature->rbegin(), signature->rend());
      *signature = std::move(reversed);
    }
    CryptDestroyHash(hash);
    if (aes_provider != 0) CryptReleaseContext(aes_provider, 0);
    return ok;
  }

  HCERTSTORE store_;
  PCCERT_CONTEXT certificate_context_;
  HCRYPTPROV_OR_NCRYPT_KEY_HANDLE key_;
  DWORD key_spec_;
  bool free_key_;
  bool persisted_;
  SigningCertificate certificate_;
};

}  // namespace

LoadedSigningKey LoadSigningKey(std::string_view pkcs12, std::string_view password,
                                long long now_seconds) {
  LoadedSigningKey loaded;
  CRYPT_DATA_BLOB blob{static_cast<DWORD>(pkcs12.size()),
                       reinterpret_cast<BYTE*>(const_cast<char*>(pkcs12.data()))};
  if (pkcs12.empty() || !PFXIsPFXBlob(&blob)) return loaded;
  const std::wstring wide_password = Wide(password);
  PCCERT_CONTEXT found = nullptr;
  HCRYPTPROV_OR_NCRYPT_KEY_HANDLE key = 0;
  DWORD key_spec = 0;
  BOOL caller_frees = FALSE;
  // The certificate whose private key can be had: CNG where the key is
  // there, else CryptoAPI (older systems, Wine).
  auto find_key = [&](HCERTSTORE in) {
    for (PCCERT_CONTEXT certificate = CertEnumCertificatesInStore(in, nullptr);
         certificate != nullptr; certificate = CertEnumCertificatesInStore(in, certificate)) {
      if (CryptAcquireCertificatePrivateKey(
              certificate, CRYPT_ACQUIRE_SILENT_FLAG | CRYPT_ACQUIRE_ALLOW_NCRYPT_KEY_FLAG, nullptr,
              &key, &key_spec, &caller_frees) ||
          CryptAcquireCertificatePrivateKey(certificate, CRYPT_ACQUIRE_SILENT_FLAG, nullptr, &key,
                                            &key_spec, &caller_frees)) {
        found = CertDuplicateCertificateContext(certificate);
        CertFreeCertificateContext(certificate);
        return;
      }
    }
  };
  // The key in memory only where the system can (Windows 8 and later); else
  // in the user's key store, deleted again when the key is let go.
  bool persisted = false;
  HCERTSTORE store = PFXImportCertStore(&blob, wide_password.c_str(), PKCS12_NO_PERSIST_KEY);
  if (store != nullptr) find_key(store);
  if (found == nullptr) {
    if (store != nullptr) CertCloseStore(store, 0);
    store = PFXImportCertStore(&blob, wide_password.c_str(), CRYPT_USER_KEYSET);
    if (store == nullptr) return loaded;
    persisted = true;
    find_key(store);
  }
  if (found == nullptr) {
    CertCloseStore(store, 0);
    loaded.status = SigningKeyStatus::kNoPrivateKey;
    return loaded;
  }
  auto give_up = [&](SigningKeyStatus status) {
    if (caller_frees) FreeKey(key, key_spec, persisted);
    CertFreeCertificateContext(found);
    CertCloseStore(store, 0);
    loaded.status = status;
    return std::move(loaded);
  };
  if (now_seconds < UnixSeconds(found->pCertInfo->NotBefore)) {
    return give_up(SigningKeyStatus::kNotYetValid);
  }
  if (now_seconds > UnixSeconds(found->pCertInfo->NotAfter)) {
    return give_up(SigningKeyStatus::kExpired);
  }
  SigningCertificate described{
      std::string(reinterpret_cast<const char*>(found->pbCertEncoded), found->cbCertEncoded),
      IssuerName(found), SerialNumber(found)};
  if (described.issuer_name.empty()) return give_up(SigningKeyStatus::kUnreadable);
  loaded.status = SigningKeyStatus::kLoaded;
  loaded.key = std::make_unique<WindowsSigningKey>(
      store, found, key, key_spec, caller_frees != FALSE, persisted, std::move(described));
  return loaded;
}

std::string Sha256(std::string_view data) {
  unsigned char digest[32];
  if (!Sha256Bytes(data, digest)) return "";
  return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

}  // namespace torvane
