// The receipt evaluation as pure functions of records: the due test, the
// concept slots of a unit and the receipt made of records and concepts. The
// lookups, numbering and what reaches the output are tested with the walk's
// unit step (tests/driver/unit_invoicing_test.cc).
#include "receipts/receipt_evaluation.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fake_tables.h"

namespace torvane {
namespace {

using testing::EstateRecord;
using testing::OwnerRecord;
using testing::UnitFields;
using testing::UnitRecord;

TEST(IsDueInMonthTest, PeriodTimingAndMonth) {
  struct Case {
    int period;
    char timing;
    int month;
    bool due;
  } const cases[] = {
      {0, ' ', 1, false},
      {0, 'M', 1, false},
      {0, 'V', 12, false},
      {1, ' ', 1, true},
      {1, ' ', 7, true},
      {1, 'M', 5, true},
      {1, 'V', 12, true},
      {2, ' ', 1, true},
      {2, ' ', 2, false},
      {2, 'm', 1, true},
      {2, 'v', 2, false},
      {2, 'V', 2, true},
      {2, 'M', 2, true},
      {2, 'M', 3, false},
      {3, ' ', 1, true},
      {3, ' ', 4, true},
      {3, ' ', 10, true},
      {3, ' ', 2, false},
      {3, 'M', 2, true},
      {3, 'M', 11, true},
      {3, 'M', 1, false},
      {3, 'V', 3, true},
      {3, 'V', 12, true},
      {3, 'V', 1, false},
      {6, 'M', 4, true},
      {6, 'M', 10, true},
      {6, 'M', 1, false},
      {6, 'M', 7, false},
      {6, 'V', 6, true},
      {6, 'V', 12, true},
      {6, ' ', 7, true},
      {12, ' ', 1, true},
      {12, ' ', 7, false},
      {12, 'M', 7, true},
      {12, 'V', 12, true},
      {12, 'V', 6, false},
      // A receipt date without a month: only monthly units are due.
      {1, ' ', 0, true},
      {3, ' ', 0, false},
      {12, 'V', 0, false},
      // A negative period: the remainder keeps the sign of M - 1.
      {-3, ' ', 4, true},
      {-3, ' ', 5, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsDueInMonth(c.period, c.timing, c.month), c.due)
        << "period " << c.period << " timing '" << c.timing << "' month " << c.month;
  }
}

TEST(ConceptSlotsOfTest, KeysAndAmountsOfTheConceptBlock) {
  UnitFields fields;
  fields.fixed = {1000, 0, 0, 0, 0, 0, 0, 0, 0, -5};
  fields.extra = {{{115, 300}, {-4, 999}, {0, 777}}};  // code 115: key byte of 15
  fields.instalment_code = 7;
  fields.instalment_count = 0;  // no instalment left: no key, no amount
  fields.instalment_amount = 50;
  const std::string record = UnitRecord(fields);
  const auto slots =
      ConceptSlotsOf(RecordView(reinterpret_cast<const uint8_t*>(record.data()), record.size()));
  for (int i = 0; i < kFixedConcepts; ++i) EXPECT_EQ(slots[static_cast<size_t>(i)].key, i + 1);
  EXPECT_EQ(slots[0].amount, 1000);
  EXPECT_EQ(slots[9].amount, -5);
  EXPECT_EQ(slots[10].key, 0x8F);
  EXPECT_EQ(slots[10].amount, 300);
  for (size_t i : {11u, 12u, 13u}) {
    EXPECT_FALSE(slots[i].key.has_value()) << i;
    EXPECT_EQ(slots[i].amount, 0) << i;
  }
}

// The receipt of records and concepts already read: each concept's taxes
// decide the bases, an unselected concept is dropped, and the parties and
// derived facts come from the records.
TEST(EvaluateReceiptTest, ReceiptOfRecordsAndConcepts) {
  UnitFields fields;
  fields.fixed = {10000, 2000, 300, 0, 0, 0, 0, 0, 0, 0};
  fields.series = 'B';
  fields.premises = true;
  fields.withholding = true;
  const std::string unit = UnitRecord(fields);
  const std::string owner = OwnerRecord(7, 41, {{12, 0}}, "ESB12345678");
  const std::string estate = EstateRecord(12);
  auto view = [](const std::string& record) {
    return RecordView(reinterpret_cast<const uint8_t*>(record.data()), record.size());
  };
  ReceiptConcepts concepts;
  concepts[0].name = "LLOGUER             ";
  concepts[1] = ConceptEntry{"FIANCA              ", false, false};
  concepts[2] = ConceptEntry{"ESCOMBRARIES        ", true, false};
  RunParameters run;
  run.ReceiptDate = CalendarDate{2009, 1, 15};
  run.BatchReference = PackDigits("2009");
  run.ConceptSelected.fill(true);
  run.ConceptSelected[2] = false;
  TaxSettings taxes;
  taxes.VatClassName = {"IVA  ", "IGIC"};
  taxes.PremisesVatRate = {21, 7};
  taxes.WithholdingRate = {19, 15};

  const std::optional<Receipt> receipt =
      EvaluateReceipt({view(owner), view(estate), view(unit)}, concepts, 0, run, taxes);
  ASSERT_TRUE(receipt.has_value());
  const InvoiceFigures& f = receipt->figures;
  EXPECT_EQ(f.ConceptTotal, 12000);
  EXPECT_EQ(f.ConceptNames[1], "FIANCA              ");
  EXPECT_EQ(f.ConceptAmounts[2], 0);  // not selected
  EXPECT_EQ(f.ConceptNames[2], "");
  EXPECT_EQ(f.VatBase, 10000);
  EXPECT_EQ(f.WithholdingBase, 10000);
  EXPECT_EQ(f.VatName, "IVA");
  EXPECT_EQ(f.VatAmount, 2100);
  EXPECT_EQ(f.WithholdingAmount, 1900);
  EXPECT_EQ(f.InvoiceNumber, "");  // the walk numbers it
  EXPECT_EQ(f.PaymentReference, "012003V2009");
  EXPECT_EQ(f.AddressLine, "C. MAJOR 1r 2a");
  EXPECT_TRUE(receipt->direct_debit);
  EXPECT_EQ(receipt->payable_cents, 2100 + 12000 - 1900);
  EXPECT_EQ(receipt->owner_tax_number.substr(0, 11), "ESB12345678");
  EXPECT_EQ(receipt->unit_digits, "00120003");
  EXPECT_EQ(IsoDateText(receipt->issue_date), "2009-01-15");

  fields.fixed = {};
  const std::string nothing = UnitRecord(fields);
  EXPECT_FALSE(
      EvaluateReceipt({view(owner), view(estate), view(nothing)}, concepts, 0, run, taxes));
}

}  // namespace
}  // namespace torvane
