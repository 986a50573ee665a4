// The enveloped XAdES-EPES signature of a Facturae 3.2.2 invoice, as the
// government's invoice hub accepts it: RSA-SHA256 over the canonical
// (inclusive C14N 1.0) SignedInfo; a SHA-256 reference to the whole
// document with the enveloped-signature transform and one to the signed
// properties; the signing time, the signing certificate (SHA-256 digest,
// issuer and serial number), the Facturae signature policy 3.1 with its
// published SHA-1 digest, the signer's role ("tercero": the administering
// firm signs for the owner) and the data object format; the certificate
// in KeyInfo.
#ifndef TORVANE_FACTURAE_INVOICE_SIGNATURE_H_
#define TORVANE_FACTURAE_INVOICE_SIGNATURE_H_

#include <string>
#include <string_view>

#include "platform/signing.h"

namespace torvane {

// The namespace declarations of the Facturae 3.2.2 document element, which
// are in scope of everything the signature signs.
inline constexpr std::string_view kSignatureNamespace = "http://www.w3.org/2000/09/xmldsig#";
inline constexpr std::string_view kFacturae322Namespace =
    "http://www.facturae.gob.es/formato/Versiones/Facturaev3_2_2.xml";

// What one signature is made of. `document` is the canonical form of the
// invoice without the signature element (what the enveloped reference
// digests); `id` makes the element identifiers unique within the document;
// `signing_time` is an xs:dateTime in UTC.
struct SignatureInput {
  std::string_view document;
  std::string_view id;
  std::string_view signing_time;
};

// The ds:Signature element, canonical, for a place at depth 1 (a child of
// the document element), without a line break or indentation before it.
// False when the key could not sign.
bool BuildInvoiceSignature(SigningKey& key, const SignatureInput& input, std::string* element);

// Base64 without line breaks.
std::string Base64(std::string_view bytes);

// The current time in UTC as "YYYY-MM-DDThh:mm:ssZ", and as seconds since
// 1970-01-01.
std::string UtcTimestampNow();
long long UtcSecondsNow();

}  // namespace torvane

#endif  // TORVANE_FACTURAE_INVOICE_SIGNATURE_H_
