// A receipt ready to be written as an invoice, over an in-memory file
// system: the firm, one owner and one unit record built field by field, the
// run's receipt date 31 Dec 2009 with batch reference 01, the figures of the
// receipt evaluation, and the run's filing with the Facturae writer and the
// file list. Tests change what they need before the first Write().
#ifndef TORVANE_TESTS_FACTURAE_INVOICE_FIXTURE_H_
#define TORVANE_TESTS_FACTURAE_INVOICE_FIXTURE_H_

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "driver/invoice_filing.h"
#include "facturae/receipt_invoice.h"
#include "platform/memory_file_system.h"
#include "receipts/receipt_evaluation.h"
#include "records/owner_layout.h"
#include "records/unit_layout.h"
#include "session/language_file.h"
#include "session/session_environment.h"

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

    run_.ReceiptDate = CalendarDate{2009, 12, 31};
    run_.BatchReference = "\x81";  // 01

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

  // The receipt of the records and figures, as the walk hands it over.
  Receipt MakeReceipt() {
    Receipt receipt = DescribeReceipt(RecordView(owner_.data(), owner_.size()),
                                      RecordView(unit_.data(), unit_.size()), run_);
    receipt.figures = figures_;
    receipt.payable_cents = PayableCents(figures_);
    LanguageTexts texts(fs_, session_.RootDirectory, session_.Language, "TORVANE1");
    receipt.period_text = PeriodText(receipt.billing_months, receipt.billing_timing, texts);
    return receipt;
  }

  // Files the receipt with one filing and writer kept for the whole test
  // (one run).
  InvoiceOutcome Write() {
    if (filing_ == nullptr) {
      file_list_ = fs_.Open(kFileListPath, FileAccess::kWrite, FileSharing::kShareRead,
                            FileCreation::kCreateOrTruncate);
      writer_ = std::make_unique<FacturaeInvoiceWriter>(fs_, firm_, session_.Language, kHost);
      filing_ = std::make_unique<InvoiceFiling>(fs_, session_.RootDirectory, run_, *writer_,
                                                without_file_list_ ? nullptr : file_list_.get());
    }
    const InvoiceOutcome outcome = filing_->Issue(MakeReceipt());
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
  std::unique_ptr<FacturaeInvoiceWriter> writer_;
  std::unique_ptr<InvoiceFiling> filing_;
  std::string last_file_;
};

}  // namespace torvane::testing

#endif  // TORVANE_TESTS_FACTURAE_INVOICE_FIXTURE_H_
