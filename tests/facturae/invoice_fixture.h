// A receipt ready to be written as an invoice, over an in-memory file
// system: the firm, one owner and one unit record built field by field, the
// run's receipt date 31 Dec 2009 with batch reference 01, the figures of the
// receipt evaluation, and the writer with its file list. Tests change what
// they need before the first Write().
#ifndef TORVANE_TESTS_FACTURAE_INVOICE_FIXTURE_H_
#define TORVANE_TESTS_FACTURAE_INVOICE_FIXTURE_H_

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "facturae/receipt_invoice.h"
#include "platform/memory_file_system.h"
#include "records/owner_layout.h"
#include "records/unit_layout.h"
#include "session/language_file.h"

namespace torvane::testing {

inline constexpr char kRoot[] = "C:\\KAV\\";
inline constexpr char kUnitFolder[] = "C:\\KAV\\DOCUMENT\\VER\\0012\\0003";
inline constexpr char kInvoicePath[] = "C:\\KAV\\DOCUMENT\\VER\\0012\\0003\\T8I1SR1.xml";
inline constexpr char kFileListPath[] = "C:\\TMP\\TAR.LST";
inline constexpr char kHost[] = "www.example.com";

// "\n" line ends turned into CR LF, for expected documents.
inline std::string WithCrLf(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

class InvoiceFixture : public ::testing::Test {
 protected:
  InvoiceFixture() {
    fs_.SetFile("C:\\KAV\\Pexa.ini", "");  // the root folder exists
    fs_.SetFile("C:\\TMP\\Sessio.ini", "");
    session_.RootDirectory = kRoot;
    session_.TempDirectory = "C:\\TMP\\";
    session_.Language = "CAT";

    firm_.fields[1] = "ADMINISTRACIONS EXEMPLE";
    firm_.fields[2] = "C/ MAJOR, 1";
    firm_.fields[3] = "08001 BARCELONA";
    firm_.fields[4] = "BARCELONA";
    firm_.fields[6] = "ADMINISTRACIONS EXEMPLE S.L.";
    firm_.fields[7] = "ESB00000001";

    run_.ReceiptDate = "\x94\x89\x8C\x9F";  // 20091231
    run_.BatchReference = "\x81";           // 01

    PutOwner(owner::kOwnerName, "GARCIA LOPEZ*JOAN");
    PutOwner(owner::kOwnerAddress, "MAJOR*CARRER");
    PutOwner(owner::kOwnerPostCodeTown, "17300-BLANES");
    PutOwner(owner::kOwnerProvince, "GIRONA");
    PutOwner(owner::kOwnerTaxNumber, "ES12345678Z");

    PutUnit(unit::kUnitKey, "\x80\x8C\x80\x83");  // estate 0012, unit 0003
    PutUnit(unit::kTenantName, "FERRETERIA <NOU>*LA");
    PutUnit(unit::kReceiptSeries, "B");
    PutInt16(unit_.data(), unit::kBillingPeriodMonths.offset(), 3);
    PutUnit(unit::kBillingTiming, "V");
    PutUnit(unit::kTenantTaxNumber, "ESB87654321");
    PutUnit(unit::kTenantIban, "ES7620770024003102575766");

    figures_.ConceptNames[0] = "LLOGUER             ";
    figures_.ConceptAmounts[0] = 123456;
    figures_.ConceptNames[1] = "COMUNITAT           ";
    figures_.ConceptAmounts[1] = 0;
    figures_.ConceptNames[2] = "DESCOMPTE           ";
    figures_.ConceptAmounts[2] = -2500;
    figures_.ConceptTotal = 120956;
    figures_.VatBase = 120956;
    figures_.VatName = "IVA";
    figures_.VatRate = 21.0f;
    figures_.VatAmount = 25401;
    figures_.WithholdingBase = 120956;
    figures_.AppliedWithholdingRate = 19.0f;
    figures_.WithholdingAmount = 22982;
    figures_.InvoiceNumber = "00000042";
    figures_.PaymentReference = "001200030042";
    figures_.AddressLine = "CARRER MAJOR 5, 2n 1a";
    figures_.PostCodeTownLine = "08001 BARCELONA";
    figures_.ProvinceLine = "BARCELONA";
  }

  void PutOwner(const Field& field, std::string_view text) { PutBytes(owner_.data(), field, text); }
  void PutUnit(const Field& field, std::string_view text) { PutBytes(unit_.data(), field, text); }

  // Writes the receipt with one writer kept for the whole test (one run).
  InvoiceOutcome Write() {
    if (writer_ == nullptr) {
      file_list_ = fs_.Open(kFileListPath, FileAccess::kWrite, FileSharing::kShareRead,
                            FileCreation::kCreateOrTruncate);
      texts_ = std::make_unique<LanguageTexts>(fs_, session_.RootDirectory, session_.Language,
                                               "TORVANE1");
      writer_ = std::make_unique<ReceiptInvoiceWriter>(
          fs_, session_, firm_, run_, *texts_, without_file_list_ ? nullptr : file_list_.get(),
          kHost);
    }
    const InvoiceOutcome outcome = writer_->WriteReceiptInvoice(
        RecordView(owner_.data(), owner_.size()), RecordView(unit_.data(), unit_.size()), figures_);
    last_file_ = outcome.file_name;
    return outcome;
  }

  // The file `path`, by default the invoice of the last Write(); "<missing>"
  // when there is none.
  std::string Invoice(const std::string& path = "") {
    return fs_.GetFile(path.empty() ? last_file_ : path).value_or("<missing>");
  }
  std::string FileList() { return fs_.GetFile(kFileListPath).value_or("<missing>"); }

  MemoryFileSystem fs_;
  SessionEnvironment session_;
  FirmIdentity firm_;
  RunParameters run_;
  std::array<uint8_t, owner::kBufferRoom> owner_{};
  std::array<uint8_t, unit::kBufferRoom> unit_{};
  InvoiceFigures figures_;
  bool without_file_list_ = false;

 private:
  std::unique_ptr<File> file_list_;
  std::unique_ptr<LanguageTexts> texts_;
  std::unique_ptr<ReceiptInvoiceWriter> writer_;
  std::string last_file_;
};

}  // namespace torvane::testing

#endif  // TORVANE_TESTS_FACTURAE_INVOICE_FIXTURE_H_
