// The whole Facturae 3.0 invoice of one receipt, compared byte for byte.
#include "facturae/receipt_invoice.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/facturae/golden_invoice.h"
#include "tests/facturae/invoice_fixture.h"

namespace torvane::testing {
namespace {

using ReceiptInvoiceTest = InvoiceFixture;

TEST_F(ReceiptInvoiceTest, WritesTheWholeInvoiceByteForByte) {
  const InvoiceOutcome outcome = Write();
  EXPECT_EQ(outcome.file_name, kInvoicePath);
  EXPECT_TRUE(outcome.written);
  EXPECT_TRUE(outcome.listed);
  EXPECT_EQ(Invoice(), GoldenInvoice());
  EXPECT_EQ(FileList(), std::string(kInvoicePath) + "\r\n");
}

}  // namespace
}  // namespace torvane::testing
