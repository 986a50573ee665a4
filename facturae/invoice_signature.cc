// Builds the XAdES-EPES signature element of an invoice. Each signed part
// (the signed properties, SignedInfo) is built as a canonical fragment at
// its place in the document; its canonical form as a document subset is the
// same bytes with the namespace declarations in scope added to its first
// tag, and that is what is digested or signed.
#include "facturae/invoice_signature.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "facturae/canonical_xml.h"

namespace torvane {
namespace {

constexpr std::string_view kXadesNamespace = "http://uri.etsi.org/01903/v1.3.2#";
constexpr std::string_view kC14n = "http://www.w3.org/TR/2001/REC-xml-c14n-20010315";
constexpr std::string_view kRsaSha256 = "http://www.w3.org/2001/04/xmldsig-more#rsa-sha256";
constexpr std::string_view kSha256 = "http://www.w3.org/2001/04/xmlenc#sha256";
constexpr std::string_view kSha1 = "http://www.w3.org/2000/09/xmldsig#sha1";
constexpr std::string_view kEnveloped = "http://www.w3.org/2000/09/xmldsig#enveloped-signature";
constexpr std::string_view kSignedPropertiesType = "http://uri.etsi.org/01903#SignedProperties";
constexpr std::string_view kPolicyIdentifier =
    "http://www.facturae.es/politica_de_firma_formato_facturae/"
    "politica_de_firma_formato_facturae_v3_1.pdf";
constexpr std::string_view kPolicyDescription = "Pol\xC3\xADtica de Firma FacturaE v3.1";
constexpr std::string_view kPolicySha1 = "Ohixl6upD6av8N7pEvDABhEL6hM=";
constexpr std::string_view kSignerRole = "tercero";
constexpr std::string_view kObjectDescription = "Factura electr\xC3\xB3nica";
constexpr std::string_view kObjectMimeType = "text/xml";

// Depths of the signed parts below the document element's child ds:Signature.
constexpr size_t kSignatureDepth = 1;
constexpr size_t kSignedInfoDepth = kSignatureDepth + 1;
constexpr size_t kSignedPropertiesDepth = kSignatureDepth + 3;  // Object, QualifyingProperties

constexpr std::string_view kBase64Digits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string NamespaceDeclaration(std::string_view prefix, std::string_view uri) {
  return " xmlns:" + std::string(prefix) + "=\"" + std::string(uri) + "\"";
}

// The fragment as a canonical document subset: `declarations` added after
// the name in its first tag.
std::string AsSubset(const std::string& fragment, std::string_view element,
                     const std::string& declarations) {
  std::string subset = fragment;
  subset.insert(1 + element.size(), declarations);
  return subset;
}

void WriteDigestMethod(CanonicalXml& xml, std::string_view algorithm) {
  xml.AddAttribute("Algorithm", algorithm);
  xml.WriteEmptyElement("ds:DigestMethod");
}

std::string SignedProperties(const SigningCertificate& certificate, const SignatureInput& input,
                             const std::string& properties_id, const std::string& reference_id) {
  CanonicalXml xml;
  xml.Clear(kSignedPropertiesDepth);
  xml.AddAttribute("Id", properties_id);
  xml.StartElement("xades:SignedProperties");
  xml.StartElement("xades:SignedSignatureProperties");
  xml.WriteUtf8Element("xades:SigningTime", input.signing_time);
  xml.StartElement("xades:SigningCertificate");
  xml.StartElement("xades:Cert");
  xml.StartElement("xades:CertDigest");
  WriteDigestMethod(xml, kSha256);
  xml.WriteUtf8Element("ds:DigestValue", Base64(Sha256(certificate.der)));
  xml.EndElement();  // CertDigest
  xml.StartElement("xades:IssuerSerial");
  xml.WriteUtf8Element("ds:X509IssuerName", certificate.issuer_name);
  xml.WriteUtf8Element("ds:X509SerialNumber", certificate.serial_number);
  xml.EndElement();  // IssuerSerial
  xml.EndElement();  // Cert
  xml.EndElement();  // SigningCertificate
  xml.StartElement("xades:SignaturePolicyIdentifier");
  xml.StartElement("xades:SignaturePolicyId");
  xml.StartElement("xades:SigPolicyId");
  xml.WriteUtf8Element("xades:Identifier", kPolicyIdentifier);
  xml.WriteUtf8Element("xades:Description", kPolicyDescription);
  xml.EndElement();  // SigPolicyId
  xml.StartElement("xades:SigPolicyHash");
  WriteDigestMethod(xml, kSha1);
  xml.WriteUtf8Element("ds:DigestValue", kPolicySha1);
  xml.EndElement();  // SigPolicyHash
  xml.EndElement();  // SignaturePolicyId
  xml.EndElement();  // SignaturePolicyIdentifier
  xml.StartElement("xades:SignerRole");
  xml.StartElement("xades:ClaimedRoles");
  xml.WriteUtf8Element("xades:ClaimedRole", kSignerRole);
  xml.EndElement();  // ClaimedRoles
  xml.EndElement();  // SignerRole
  xml.EndElement();  // SignedSignatureProperties
  xml.StartElement("xades:SignedDataObjectProperties");
  xml.AddAttribute("ObjectReference", "#" + reference_id);
  xml.StartElement("xades:DataObjectFormat");
  xml.WriteUtf8Element("xades:Description", kObjectDescription);
  xml.WriteUtf8Element("xades:MimeType", kObjectMimeType);
  xml.EndElement();  // DataObjectFormat
  xml.EndElement();  // SignedDataObjectProperties
  xml.EndElement();  // SignedProperties
  return xml.text();
}

std::string SignedInfo(const std::string& reference_id, const std::string& document_digest,
                       const std::string& properties_id, const std::string& properties_digest) {
  CanonicalXml xml;
  xml.Clear(kSignedInfoDepth);
  xml.StartElement("ds:SignedInfo");
  xml.AddAttribute("Algorithm", kC14n);
  xml.WriteEmptyElement("ds:CanonicalizationMethod");
  xml.AddAttribute("Algorithm", kRsaSha256);
  xml.WriteEmptyElement("ds:SignatureMethod");
  xml.AddAttribute("Id", reference_id);
  xml.AddAttribute("URI", "");
  xml.StartElement("ds:Reference");
  xml.StartElement("ds:Transforms");
  xml.AddAttribute("Algorithm", kEnveloped);
  xml.WriteEmptyElement("ds:Transform");
  xml.EndElement();  // Transforms
  WriteDigestMethod(xml, kSha256);
  xml.WriteUtf8Element("ds:DigestValue", document_digest);
  xml.EndElement();  // Reference
  xml.AddAttribute("Type", kSignedPropertiesType);
  xml.AddAttribute("URI", "#" + properties_id);
  xml.StartElement("ds:Reference");
  WriteDigestMethod(xml, kSha256);
  xml.WriteUtf8Element("ds:DigestValue", properties_digest);
  xml.EndElement();  // Reference
  xml.EndElement();  // SignedInfo
  return xml.text();
}

}  // namespace

std::string Base64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const unsigned group = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
    out.push_back(kBase64Digits[group >> 18 & 63]);
    out.push_back(kBase64Digits[group >> 12 & 63]);
    out.push_back(kBase64Digits[group >> 6 & 63]);
    out.push_back(kBase64Digits[group & 63]);
  }
  const size_t rest = bytes.size() - i;
  if (rest > 0) {
    unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
    if (rest == 2) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out.push_back(kBase64Digits[group >> 18 & 63]);
    out.push_back(kBase64Digits[group >> 12 & 63]);
    out.push_back(rest == 2 ? kBase64Digits[group >> 6 & 63] : '=');
    out.push_back('=');
  }
  return out;
}

long long UtcSecondsNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string UtcTimestampNow() {
  using namespace std::chrono;
  const sys_seconds now = floor<seconds>(system_clock::now());
  const sys_days day = floor<days>(now);
  const year_month_day date(day);
  const hh_mm_ss<seconds> time(now - day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
  return text;
}

bool BuildInvoiceSignature(SigningKey& key, const SignatureInput& input, std::string* element) {
  const std::string id(input.id);
  const std::string signature_id = "Signature-" + id;
  const std::string reference_id = "Reference-" + id;
  const std::string properties_id = "SignedProperties-" + id;
  const std::string document_scope = NamespaceDeclaration("ds", kSignatureNamespace) +
                                     NamespaceDeclaration("fe", kFacturae322Namespace);
  const std::string properties_scope = NamespaceDeclaration("ds", kSignatureNamespace) +
                                       NamespaceDeclaration("fe", kFacturae322Namespace) +
                                       NamespaceDeclaration("xades", kXadesNamespace);

  const SigningCertificate& certificate = key.certificate();
  const std::string properties = SignedProperties(certificate, input, properties_id, reference_id);
  const std::string properties_digest =
      Base64(Sha256(AsSubset(properties, "xades:SignedProperties", properties_scope)));
  const std::string signed_info =
      SignedInfo(reference_id, Base64(Sha256(input.document)), properties_id, properties_digest);
  std::string signature_value;
  if (!key.SignSha256(AsSubset(signed_info, "ds:SignedInfo", document_scope), &signature_value)) {
    return false;
  }

  CanonicalXml xml;
  xml.Clear(kSignatureDepth);
  xml.AddAttribute("Id", signature_id);
  xml.StartElement("ds:Signature");
  xml.BeginLine();
  xml.AppendRaw(signed_info);
  xml.WriteUtf8Element("ds:SignatureValue", Base64(signature_value));
  xml.StartElement("ds:KeyInfo");
  xml.StartElement("ds:X509Data");
  xml.WriteUtf8Element("ds:X509Certificate", Base64(certificate.der));
  xml.EndElement();  // X509Data
  xml.EndElement();  // KeyInfo
  xml.StartElement("ds:Object");
  xml.AddAttribute("xmlns:xades", kXadesNamespace);
  xml.AddAttribute("Target", "#" + signature_id);
  xml.StartElement("xades:QualifyingProperties");
  xml.BeginLine();
  xml.AppendRaw(properties);
  xml.EndElement();  // QualifyingProperties
  xml.EndElement();  // Object
  xml.EndElement();  // Signature
  *element = xml.text();
  return true;
}

}  // namespace torvane
