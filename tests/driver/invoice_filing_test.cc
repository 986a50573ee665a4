// Where a run's invoices go: the base-32 names of the run, a second invoice
// of one unit in one run, and which invoices reach the file list when files
// or the list fail.
#include "driver/invoice_filing.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/facturae/golden_invoice.h"
#include "tests/facturae/invoice_fixture.h"

namespace torvane::testing {
namespace {

using InvoiceFilingTest = InvoiceFixture;

TEST(InvoiceFileNameTest, Base32LeastSignificantDigitFirst) {
  const struct {
    const char* digits;
    const char* name;
  } cases[] = {
      {"2009123101", "T8I1SR1"},
      {"32", "01"},
      {"31", "V"},
      {"1", "1"},
      {"0", "0"},
      {"00000000", "0"},
      {"", "0"},
      {"0032", "01"},
      {"1024", "001"},
      // Beyond the digits a double holds exactly, neighbours stay apart.
      {"2009123112345678901234", "IVRNM7DS9PBKEM1"},
      {"2009123112345678901235", "JVRNM7DS9PBKEM1"},
      {"20091231123456789012345678901234567890", "IM2U37G3PI6BOM3ETHLO2NL3F"},
  };
  for (const auto& c : cases) EXPECT_EQ(InvoiceFileName(c.digits), c.name) << c.digits;
}

// Packed digits, two to a byte, as the run's keys hold them.
std::string Packed(std::string_view digits) {
  std::string bytes;
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(static_cast<char>(128 + (digits[i] - '0') * 10 + (digits[i + 1] - '0')));
  }
  return bytes;
}

TEST_F(InvoiceFilingTest, LongBatchReferencesGetNamesOfTheirOwn) {
  run_.BatchReference = Packed("123456789012345678901234");
  EXPECT_EQ(Write().file_name, std::string(kUnitFolder) + "\\IVBDPL007HU50FOR4I5RF.xml");
}

TEST_F(InvoiceFilingTest, NeighbouringLongBatchReferenceDiffers) {
  run_.BatchReference = Packed("123456789012345678901235");
  EXPECT_EQ(Write().file_name, std::string(kUnitFolder) + "\\JVBDPL007HU50FOR4I5RF.xml");
}

TEST_F(InvoiceFilingTest, UnitBilledTwiceKeepsBothInvoices) {
  const InvoiceOutcome first = Write();
  figures_.InvoiceNumber = "00000043";
  const InvoiceOutcome second = Write();
  figures_.InvoiceNumber = "00000044";
  const InvoiceOutcome third = Write();
  PutUnit(unit::kUnitKey, "\x80\x8C\x80\x84");  // unit 0004: a folder of its own
  const InvoiceOutcome other = Write();

  const std::string folder = std::string(kUnitFolder) + "\\";
  EXPECT_EQ(first.file_name, folder + "T8I1SR1.xml");
  EXPECT_EQ(second.file_name, folder + "T8I1SR1_2.xml");
  EXPECT_EQ(third.file_name, folder + "T8I1SR1_3.xml");
  EXPECT_EQ(other.file_name, "C:\\KAV\\DOCUMENT\\VER\\0012\\0004\\T8I1SR1.xml");
  EXPECT_NE(Invoice(first.file_name).find("<InvoiceNumber>00000042<"), std::string::npos);
  EXPECT_NE(Invoice(second.file_name).find("<InvoiceNumber>00000043<"), std::string::npos);
  EXPECT_NE(Invoice(third.file_name).find("<InvoiceNumber>00000044<"), std::string::npos);
  EXPECT_EQ(FileList(), first.file_name + "\r\n" + second.file_name + "\r\n" + third.file_name +
                            "\r\n" + other.file_name + "\r\n");
}

TEST_F(InvoiceFilingTest, OnlyDirectDebitsAreListed) {
  for (const char* series : {"A", "F", "b", " "}) {
    PutUnit(unit::kReceiptSeries, series);
    const InvoiceOutcome outcome = Write();
    EXPECT_TRUE(outcome.written) << series;
    EXPECT_FALSE(outcome.listed) << series;
    const std::string invoice = Invoice(outcome.file_name);
    EXPECT_NE(invoice.find("<PaymentMeans>01</PaymentMeans>"), std::string::npos) << series;
    EXPECT_EQ(invoice.find("AccountToBeDebited"), std::string::npos) << series;
  }
  EXPECT_EQ(FileList(), "");
}

TEST_F(InvoiceFilingTest, InvoiceThatFailedToWriteIsNotListed) {
  fs_.FailWritesTo(kInvoicePath);
  const InvoiceOutcome outcome = Write();
  EXPECT_EQ(outcome.file_name, kInvoicePath);
  EXPECT_FALSE(outcome.written);
  EXPECT_FALSE(outcome.listed);
  EXPECT_EQ(FileList(), "");
}

TEST_F(InvoiceFilingTest, InvoiceWhoseFolderCannotBeMadeIsNotListed) {
  fs_.SetFile("C:\\KAV\\DOCUMENT", "a file where the folder should be");
  const InvoiceOutcome outcome = Write();
  EXPECT_FALSE(outcome.written);
  EXPECT_FALSE(outcome.listed);
  EXPECT_FALSE(fs_.GetFile(kInvoicePath).has_value());
  EXPECT_EQ(FileList(), "");
}

TEST_F(InvoiceFilingTest, WithoutFileListTheInvoiceIsStillWritten) {
  without_file_list_ = true;
  const InvoiceOutcome outcome = Write();
  EXPECT_TRUE(outcome.written);
  EXPECT_FALSE(outcome.listed);
  EXPECT_EQ(Invoice(), GoldenInvoice());
}

TEST_F(InvoiceFilingTest, FailedFileListLineIsReported) {
  fs_.FailWritesTo(kFileListPath);
  const InvoiceOutcome outcome = Write();
  EXPECT_TRUE(outcome.written);
  EXPECT_FALSE(outcome.listed);
}

TEST_F(InvoiceFilingTest, ExistingFileFromAnEarlierRunIsReplaced) {
  fs_.SetFile(kInvoicePath, std::string(20000, 'x'));
  EXPECT_TRUE(Write().written);
  EXPECT_EQ(Invoice(), GoldenInvoice());
}

}  // namespace
}  // namespace torvane::testing
