// Tests of one unit's turn over the real table registry on the fake record
// manager, with the real receipt evaluation: the due test, the unit and
// remittance ranges, the concept walk and its lookups, the taxes, the
// numbering, the payment reference, the address lines and what reaches the
// invoice output and the run report.
#include "driver/unit_invoicing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/packed_digits.h"
#include "tests/fake_tables.h"

namespace torvane {
namespace {

using testing::ConceptRecord;
using testing::EstateRecord;
using testing::FakeRunTables;
using testing::OwnerRecord;
using testing::RecordingInvoiceOutput;
using testing::UnitFields;
using testing::UnitRecord;

const std::string kBlankName(20, ' ');

RunParameters BillEverything() {
  RunParameters run;
  run.ReceiptDate = CalendarDate{2009, 1, 15};
  run.UnitKeyFrom = "";
  run.UnitKeyTo = PackDigits("99999999");
  run.BatchReference = PackDigits("2009");
  for (int i = 0; i < kSeriesCount; ++i) {
    SeriesEntry& entry = run.SeriesSelection[static_cast<size_t>(i)];
    entry.Selected = true;
    entry.RemittanceFrom = kSeriesLetters[i] + PackDigits("0000");
    entry.RemittanceTo = kSeriesLetters[i] + PackDigits("9999");
  }
  run.ConceptSelected.fill(true);
  return run;
}

TaxSettings TwoClasses() {
  TaxSettings taxes;
  taxes.VatClassName = {"IVA   ", "IGIC"};
  taxes.PremisesVatRate = {21, 7};
  taxes.DwellingVatRate = {10, 3};
  taxes.WithholdingRate = {19, 15};
  return taxes;
}

UnitFields RentOf(int32_t cents) {
  UnitFields fields;
  fields.fixed[0] = cents;
  return fields;
}

class UnitInvoicingTest : public ::testing::Test {
 protected:
  UnitInvoicingTest()
      : run_(BillEverything()),
        taxes_(TwoClasses()),
        report_(nullptr),
        texts_(tables_.files, "", "CAT", "TORVANE1"),
        invoicing_(tables_.registry, tables_.buffers(), run_, taxes_, texts_, output_, report_) {
    Load(tables_.owner_buffer.data(), OwnerRecord(7, 41, {{12, 0}}, "ESB12345678"));
    Load(tables_.estate_buffer.data(), EstateRecord(12));
  }

  static void Load(uint8_t* buffer, const std::string& record) {
    std::memcpy(buffer, record.data(), record.size());
  }

  ReceiptResult Evaluate(const UnitFields& fields, int vat_class = 0) {
    Load(tables_.unit_buffer.data(), UnitRecord(fields));
    return invoicing_.InvoiceUnit(vat_class, counter_);
  }

  const InvoiceFigures& LastFigures() const { return output_.receipts.back().figures; }

  std::vector<std::string> ConceptKeysSent() const {
    return tables_.manager.KeysSent(kOpGetEqual, "TVRebut");
  }

  FakeRunTables tables_;
  RunParameters run_;
  TaxSettings taxes_;
  RecordingInvoiceOutput output_;
  RunReport report_;
  LanguageTexts texts_;
  UnitInvoicing invoicing_;
  long long counter_ = 41;
};

TEST_F(UnitInvoicingTest, DueTestReadsTheUnitAndTheReceiptMonth) {
  struct Case {
    int16_t period;
    char timing;
    std::string receipt_date;
    bool due;
  } const cases[] = {
      {3, 'M', PackDigits("20090515"), true},  {3, 'M', PackDigits("20090615"), false},
      {6, 'V', PackDigits("20091201"), true},  {12, ' ', PackDigits("20090101"), true},
      {1, ' ', std::string(4, '\x80'), true},  {6, ' ', std::string(4, '\x80'), false},
      {0, ' ', PackDigits("20090101"), false},
  };
  for (const Case& c : cases) {
    run_.ReceiptDate = DecodePackedDate(c.receipt_date);
    UnitFields fields = RentOf(1000);
    fields.period_months = c.period;
    fields.timing = c.timing;
    EXPECT_EQ(Evaluate(fields), c.due ? ReceiptResult::kInvoiced : ReceiptResult::kNotDue)
        << "period " << c.period << " timing '" << c.timing << "' date "
        << UnpackDigits(c.receipt_date);
  }
}

TEST_F(UnitInvoicingTest, UnitRangeIsInclusiveAndByteWise) {
  struct Case {
    std::string from;
    std::string to;
    bool billed;
  } const cases[] = {
      {PackDigits("00120003"), PackDigits("00120003"), true},   // both bounds equal the key
      {PackDigits("00120004"), PackDigits("00140002"), false},  // one below the lower bound
      {PackDigits("00110000"), PackDigits("00120002"), false},  // one above the upper bound
      {"", PackDigits("00120003"), true},                       // empty lower bound
      {PackDigits("0012"), PackDigits("0012"), false},          // a prefix is smaller
      {PackDigits("0012"), PackDigits("0013"), true},
  };
  for (const Case& c : cases) {
    run_.UnitKeyFrom = c.from;
    run_.UnitKeyTo = c.to;
    EXPECT_EQ(Evaluate(RentOf(1000)),  // unit 0012/0003
              c.billed ? ReceiptResult::kInvoiced : ReceiptResult::kNotDue)
        << UnpackDigits(c.from) << ".." << UnpackDigits(c.to);
  }
}

TEST_F(UnitInvoicingTest, SeriesAndRemittanceSelection) {
  run_.SeriesSelection[0].RemittanceFrom = "A" + PackDigits("0002");
  run_.SeriesSelection[0].RemittanceTo = "A" + PackDigits("0105");
  run_.SeriesSelection[1].Selected = false;
  run_.SeriesSelection[1].RemittanceFrom = "B" + PackDigits("0000");
  run_.SeriesSelection[2].RemittanceFrom = "F" + PackDigits("0003");
  run_.SeriesSelection[2].RemittanceTo = "F" + PackDigits("0003");
  struct Case {
    char series;
    uint8_t high;
    uint8_t low;
    bool billed;
    const char* why;
  } const cases[] = {
      {'A', 0x81, 0x85, true, "equal to RemittanceTo"},
      {'A', 0x80, 0x82, true, "equal to RemittanceFrom"},
      {'A', 0x81, 0x86, false, "one above RemittanceTo"},
      {'A', 0x80, 0x81, false, "one below RemittanceFrom"},
      {'A', 0x20, 0x83, true, "a blank high byte reads as 00"},
      {'A', 0x00, 0x83, true, "a zero high byte reads as 00"},
      {'B', 0x80, 0x83, false, "series B is not selected, though inside the A range"},
      {'F', 0x80, 0x83, true, "series F uses the third entry"},
      {'F', 0x80, 0x84, false, "outside the F range"},
      {'a', 0x80, 0x83, false, "a lower-case series"},
      {' ', 0x80, 0x83, false, "a blank series"},
  };
  for (const Case& c : cases) {
    UnitFields fields = RentOf(1000);
    fields.series = c.series;
    fields.remittance_high = c.high;
    fields.remittance_low = c.low;
    EXPECT_EQ(Evaluate(fields), c.billed ? ReceiptResult::kInvoiced : ReceiptResult::kNotDue)
        << c.why;
  }
  run_.SeriesSelection[0].RemittanceFrom = "A" + PackDigits("0100");
  UnitFields blank_high = RentOf(1000);
  blank_high.remittance_high = 0x20;  // 00 with low 03: remittance 0003, below 0100
  blank_high.remittance_low = 0x83;
  EXPECT_EQ(Evaluate(blank_high), ReceiptResult::kNotDue);
}

TEST_F(UnitInvoicingTest, UnitNotDueReadsNothingAndKeepsTheNumber) {
  UnitFields never = RentOf(1000);
  never.period_months = 0;
  UnitFields outside = RentOf(1000);
  outside.series = 'X';
  EXPECT_EQ(Evaluate(never), ReceiptResult::kNotDue);
  EXPECT_EQ(Evaluate(outside), ReceiptResult::kNotDue);
  EXPECT_EQ(Evaluate(RentOf(1000), 2), ReceiptResult::kUndefinedVatClass);
  EXPECT_TRUE(tables_.manager.requests.empty());
  EXPECT_TRUE(output_.receipts.empty());
  EXPECT_EQ(counter_, 41);
}

TEST_F(UnitInvoicingTest, ConceptWalkLooksUpEachBilledConcept) {
  tables_.manager.PutRecord("TVRebut", ConceptRecord(0x01, "LLOGUER", true, true));
  tables_.manager.PutRecord("TVRebut", ConceptRecord(0x02, "COMUNITAT", false, false));
  tables_.manager.PutRecord("TVRebut", ConceptRecord(0x8F, "ASSEGURANCA", true, false));
  tables_.manager.PutRecord("TVRebut", ConceptRecord(0x87, "AIGUA", false, true));
  UnitFields fields;
  fields.fixed = {1000, 200, 0, 0, 0, 0, 0, 0, 0, 0};
  fields.extra = {{{115, 300}, {-4, 999}, {0, 777}}};  // code 115: key byte of 15
  fields.instalment_code = 7;
  fields.instalment_count = 2;
  fields.instalment_amount = 50;
  ASSERT_EQ(Evaluate(fields), ReceiptResult::kInvoiced);

  std::vector<std::string> expected_keys;
  for (char key = 1; key <= 10; ++key) expected_keys.emplace_back(1, key);
  expected_keys.emplace_back(1, '\x8F');
  expected_keys.emplace_back(1, '\x87');
  EXPECT_EQ(ConceptKeysSent(), expected_keys);

  const InvoiceFigures& f = LastFigures();
  EXPECT_EQ(f.ConceptNames[0], "LLOGUER" + std::string(13, ' '));
  EXPECT_EQ(f.ConceptNames[1], "COMUNITAT" + std::string(11, ' '));
  EXPECT_EQ(f.ConceptNames[2], "");  // amount 0: no name
  EXPECT_EQ(f.ConceptNames[10], "ASSEGURANCA" + std::string(9, ' '));
  EXPECT_EQ(f.ConceptNames[11], "");  // negative code: absent
  EXPECT_EQ(f.ConceptNames[12], "");  // code 0: absent, whatever the amount
  EXPECT_EQ(f.ConceptNames[13], "AIGUA" + std::string(15, ' '));
  const double expected_amounts[kConceptCount] = {1000, 200, 0, 0, 0, 0, 0, 0, 0, 0, 300, 0, 0, 50};
  for (size_t i = 0; i < kConceptCount; ++i) {
    EXPECT_EQ(f.ConceptAmounts[i], expected_amounts[i]) << "concept " << i + 1;
  }
  EXPECT_EQ(f.ConceptTotal, 1550);
  EXPECT_EQ(f.VatBase, 1300);          // 1000 + 300
  EXPECT_EQ(f.WithholdingBase, 1050);  // 1000 + 50
}

TEST_F(UnitInvoicingTest, InstalmentNeedsACodeAndACount) {
  struct Case {
    int16_t code;
    int16_t count;
    double amount;
  } const cases[] = {{7, 0, 0}, {7, -1, 0}, {0, 3, 0}, {-7, 3, 0}, {7, 1, 50}, {107, 1, 50}};
  for (const Case& c : cases) {
    tables_.manager.requests.clear();
    UnitFields fields = RentOf(1000);
    fields.instalment_code = c.code;
    fields.instalment_count = c.count;
    fields.instalment_amount = 50;
    ASSERT_EQ(Evaluate(fields), ReceiptResult::kInvoiced);
    EXPECT_EQ(LastFigures().ConceptAmounts[13], c.amount) << c.code << "/" << c.count;
    EXPECT_EQ(ConceptKeysSent().size(), c.amount != 0 ? 11u : 10u) << c.code << "/" << c.count;
  }
  EXPECT_EQ(ConceptKeysSent().back(), std::string(1, '\x87'));  // 107 looks up 07
}

TEST_F(UnitInvoicingTest, MissingOrLockedConceptBearsBothTaxesWithABlankName) {
  // Concept 1 is found bearing neither tax; concept 2 is locked and concept
  // 3 missing: both must see the reset values, not concept 1's flags.
  tables_.manager.PutRecord("TVRebut", ConceptRecord(0x01, "LLOGUER", false, false));
  tables_.manager.PutRecord("TVRebut", ConceptRecord(0x02, "LOCKED", false, false));
  tables_.manager.FailKey("TVRebut", std::string(1, '\x02'), 84);
  UnitFields fields;
  fields.fixed = {1000, 200, 30, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(Evaluate(fields), ReceiptResult::kInvoiced);
  const InvoiceFigures& f = LastFigures();
  EXPECT_EQ(f.ConceptNames[1], kBlankName);
  EXPECT_EQ(f.ConceptNames[2], kBlankName);
  EXPECT_EQ(f.VatBase, 230);
  EXPECT_EQ(f.WithholdingBase, 230);
}

TEST_F(UnitInvoicingTest, ConceptNotSelectedIsDropped) {
  run_.ConceptSelected[1] = false;   // concept 2
  run_.ConceptSelected[10] = false;  // concept 11
  UnitFields fields;
  fields.fixed = {1000, 200, 0, 0, 0, 0, 0, 0, 0, 0};
  fields.extra = {{{15, 300}, {0, 0}, {0, 0}}};
  ASSERT_EQ(Evaluate(fields), ReceiptResult::kInvoiced);
  const InvoiceFigures& f = LastFigures();
  EXPECT_EQ(f.ConceptAmounts[1], 0);
  EXPECT_EQ(f.ConceptNames[1], "");
  EXPECT_EQ(f.ConceptAmounts[10], 0);
  EXPECT_EQ(f.ConceptTotal, 1000);
  EXPECT_EQ(f.VatBase, 1000);
  EXPECT_EQ(ConceptKeysSent().size(), 11u);  // the lookups still happen
}

TEST_F(UnitInvoicingTest, NothingToBillUsesNoNumber) {
  struct Case {
    std::array<int32_t, 10> fixed;
    bool all_selected;
  } const cases[] = {
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true},
      {{500, -500, 0, 0, 0, 0, 0, 0, 0, 0}, true},  // zero made of + and -
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 900}, false},    // only an unselected concept
  };
  for (const Case& c : cases) {
    run_.ConceptSelected.fill(true);
    if (!c.all_selected) run_.ConceptSelected[9] = false;
    UnitFields fields;
    fields.fixed = c.fixed;
    EXPECT_EQ(Evaluate(fields), ReceiptResult::kNothingToBill);
  }
  EXPECT_TRUE(output_.receipts.empty());
  EXPECT_EQ(counter_, 41);
}

TEST_F(UnitInvoicingTest, TaxesRoundHalfToEvenCents) {
  tables_.manager.PutRecord("TVRebut", ConceptRecord(0x02, "COMUNITAT", false, false));
  struct Case {
    float rate;
    int32_t vat_base;
    double vat;
  } const cases[] = {
      {21, 1000, 210},  {18, 1250, 225},  {7, 1250, 88},  // 87.5 goes up to the even 88
      {5, 24690, 1234}, {5, 24710, 1236},                 // 1234.5 and 1235.5
      {7, -1250, -88},  {10.5f, 100, 10},                 // 10.5 goes down to 10
      {0, 1250, 0},
  };
  for (const Case& c : cases) {
    taxes_.PremisesVatRate[0] = c.rate;
    UnitFields fields;
    fields.premises = true;
    fields.fixed[0] = c.vat_base;  // missing concept: bears VAT
    fields.fixed[1] = 1000;        // COMUNITAT: no VAT
    ASSERT_EQ(Evaluate(fields), ReceiptResult::kInvoiced);
    EXPECT_EQ(LastFigures().VatAmount, c.vat) << c.rate << "% of " << c.vat_base;
    EXPECT_EQ(LastFigures().VatBase, c.vat_base);
    EXPECT_EQ(LastFigures().ConceptTotal, c.vat_base + 1000);
  }
}

TEST_F(UnitInvoicingTest, RatesFollowTheVatClassAndTheUnitFlags) {
  struct Case {
    int vat_class;
    bool premises;
    bool withholding;
    const char* name;
    float vat_rate;
    float withholding_rate;
    double vat;
    double withheld;
  } const cases[] = {
      {0, false, false, "IVA", 10, 0, 100, 0},
      {0, true, true, "IVA", 21, 19, 210, 190},
      {1, false, true, "IGIC", 3, 15, 30, 150},
      {1, true, false, "IGIC", 7, 0, 70, 0},
  };
  for (const Case& c : cases) {
    UnitFields fields = RentOf(1000);
    fields.premises = c.premises;
    fields.withholding = c.withholding;
    ASSERT_EQ(Evaluate(fields, c.vat_class), ReceiptResult::kInvoiced);
    const InvoiceFigures& f = LastFigures();
    EXPECT_EQ(f.VatName, c.name);
    EXPECT_EQ(f.VatRate, c.vat_rate);
    EXPECT_EQ(f.AppliedWithholdingRate, c.withholding_rate);
    EXPECT_EQ(f.VatAmount, c.vat);
    EXPECT_EQ(f.WithholdingAmount, c.withheld);
  }
}

TEST_F(UnitInvoicingTest, InvoicesAreNumberedFromTheCounter) {
  UnitFields not_due = RentOf(1000);
  not_due.period_months = 0;
  ASSERT_EQ(Evaluate(RentOf(1000)), ReceiptResult::kInvoiced);
  ASSERT_EQ(Evaluate(not_due), ReceiptResult::kNotDue);
  ASSERT_EQ(Evaluate(RentOf(0)), ReceiptResult::kNothingToBill);
  ASSERT_EQ(Evaluate(RentOf(1000)), ReceiptResult::kInvoiced);
  ASSERT_EQ(output_.receipts.size(), 2u);
  EXPECT_EQ(output_.receipts[0].figures.InvoiceNumber, "00000042");
  EXPECT_EQ(output_.receipts[1].figures.InvoiceNumber, "00000043");
  EXPECT_EQ(counter_, 43);

  counter_ = 99999999;  // the number keeps its last eight digits
  ASSERT_EQ(Evaluate(RentOf(1000)), ReceiptResult::kInvoiced);
  EXPECT_EQ(LastFigures().InvoiceNumber, "00000000");
}

TEST_F(UnitInvoicingTest, PaymentReference) {
  ASSERT_EQ(Evaluate(RentOf(1000)), ReceiptResult::kInvoiced);  // 0012/0003
  EXPECT_EQ(LastFigures().PaymentReference, "012003V2009");

  run_.BatchReference = PackDigits("123");  // reads back as 1230
  UnitFields fields = RentOf(1000);
  fields.estate = 4567;
  fields.number = 1289;
  ASSERT_EQ(Evaluate(fields), ReceiptResult::kInvoiced);
  EXPECT_EQ(LastFigures().PaymentReference, "567289V1230");
}

TEST_F(UnitInvoicingTest, AddressLines) {
  struct Case {
    char mode;
    std::string door;
    std::string unit_street;
    std::string unit_town;
    std::string address;
    std::string town;
    std::string province;
  } const cases[] = {
      {' ', "1r 2a", "RAMBLA*LA", "17300 BLANES", "C. MAJOR 1r 2a", "08001 BARCELONA", "BARCELONA"},
      {' ', "", "", "", "C. MAJOR ", "08001 BARCELONA", "BARCELONA"},  // blank door
      {'P', "BAIXOS", "RAMBLA*LA", "17300 BLANES", "LA RAMBLA BAIXOS", "17300 BLANES", "GIRONA"},
      {'P', "2n", "", "   ", " 2n", "08001 BARCELONA", "BARCELONA"},  // own street blank
      {'p', "2n", "RAMBLA*LA", "17300 BLANES", "C. MAJOR 2n", "08001 BARCELONA", "BARCELONA"},
  };
  for (const Case& c : cases) {
    Load(tables_.estate_buffer.data(),
         EstateRecord(12, "MAJOR*C.", "08001 BARCELONA  ", "BARCELONA", c.mode));
    UnitFields fields = RentOf(1000);
    fields.door = c.door;
    fields.street = c.unit_street;
    fields.post_code_town = c.unit_town;
    fields.province = "GIRONA";
    ASSERT_EQ(Evaluate(fields), ReceiptResult::kInvoiced);
    const InvoiceFigures& f = LastFigures();
    EXPECT_EQ(f.AddressLine, c.address) << "mode '" << c.mode << "'";
    EXPECT_EQ(f.PostCodeTownLine, c.town) << "mode '" << c.mode << "'";
    EXPECT_EQ(f.ProvinceLine, c.province) << "mode '" << c.mode << "'";
  }
}

TEST_F(UnitInvoicingTest, FiguresOfOneUnitDoNotLeakIntoTheNext) {
  UnitFields first;
  first.fixed[4] = 500;
  first.extra[0] = {20, 300};
  ASSERT_EQ(Evaluate(first), ReceiptResult::kInvoiced);
  ASSERT_EQ(Evaluate(RentOf(1000)), ReceiptResult::kInvoiced);
  const InvoiceFigures& f = LastFigures();
  EXPECT_EQ(f.ConceptNames[4], "");
  EXPECT_EQ(f.ConceptAmounts[4], 0);
  EXPECT_EQ(f.ConceptAmounts[10], 0);
  EXPECT_EQ(f.ConceptTotal, 1000);
  EXPECT_EQ(f.VatBase, 1000);
}

TEST_F(UnitInvoicingTest, ReceiptCarriesTheRunRecordsAndThePeriodText) {
  UnitFields fields = RentOf(1000);
  fields.number = 8;
  fields.series = 'B';
  fields.period_months = 3;
  fields.timing = 'V';
  fields.withholding = true;
  run_.ReceiptDate = CalendarDate{2009, 3, 1};
  ASSERT_EQ(Evaluate(fields), ReceiptResult::kInvoiced);
  ASSERT_EQ(output_.receipts.size(), 1u);
  const Receipt& receipt = output_.receipts[0];
  EXPECT_EQ(receipt.unit_key, UnitRecord(fields).substr(0, 4));
  EXPECT_EQ(receipt.unit_digits, "00120008");
  EXPECT_EQ(receipt.estate_digits, "0012");
  EXPECT_EQ(receipt.unit_number_digits, "0008");
  EXPECT_EQ(receipt.owner_tax_number, "ESB12345678      ");  // the field as stored
  EXPECT_EQ(receipt.owner_name.substr(0, 10), "OWNER*TEST");
  EXPECT_EQ(receipt.tenant_name.substr(0, 11), "TENANT*TEST");
  EXPECT_EQ(receipt.tenant_iban.substr(0, 24), "ES9121000418450200051332");
  EXPECT_TRUE(receipt.direct_debit);
  EXPECT_EQ(receipt.billing_months, 3);
  EXPECT_EQ(receipt.period_text, "TRIMESTRAL VEN\x80UT");  // no language file: as written
  EXPECT_EQ(receipt.issue_date.month, 3);
  EXPECT_EQ(receipt.payable_cents, 1000 + 100 - 190);
}

// What the evaluation tells the run report about each invoice.
class UnitInvoicingReportTest : public ::testing::Test {
 protected:
  std::string RunOne(char series, bool written, bool listed) {
    MemoryFileSystem fs;
    fs.CreateFolder("TMP");
    std::unique_ptr<File> file = RunReport::OpenReportFile(fs, "TMP\\");
    RunReport report(file.get());
    RunParameters run = BillEverything();
    TaxSettings taxes = TwoClasses();
    output_.receipts.clear();
    output_.written = written;
    output_.listed = listed;
    LanguageTexts texts(tables_.files, "", "CAT", "TORVANE1");
    UnitInvoicing invoicing(tables_.registry, tables_.buffers(), run, taxes, texts, output_,
                            report);
    const std::string owner = OwnerRecord(7, 41, {{12, 0}}, "ESB12345678  ");
    std::memcpy(tables_.owner_buffer.data(), owner.data(), owner.size());
    UnitFields fields = RentOf(1000);
    fields.withholding = true;
    fields.series = series;
    const std::string unit = UnitRecord(fields);
    std::memcpy(tables_.unit_buffer.data(), unit.data(), unit.size());
    long long counter = 41;
    (void)invoicing.InvoiceUnit(0, counter);
    file->Close();
    return fs.GetFile("TMP\\TORVANE1.LOG").value_or("");
  }

  FakeRunTables tables_;
  RecordingInvoiceOutput output_;
};

TEST_F(UnitInvoicingReportTest, InvoiceLinesCarryThePayableTotal) {
  // 1000 + 10% VAT (100) - 19% withholding (190) = 910 cents.
  EXPECT_EQ(RunOne('A', true, false),
            "INVOICE\tINVOICE1.xml\tESB12345678\t00120003\t00000042\t9.10\r\n");
  EXPECT_EQ(RunOne('B', true, true),
            "INVOICE\tINVOICE1.xml\tESB12345678\t00120003\t00000042\t9.10\r\n");
}

TEST_F(UnitInvoicingReportTest, ProblemsAreReported) {
  EXPECT_EQ(RunOne('A', false, false),
            "NOT-WRITTEN\tINVOICE1.xml\tESB12345678\t00120003\t00000042\t9.10\r\n");
  EXPECT_EQ(RunOne('B', true, false),
            "INVOICE\tINVOICE1.xml\tESB12345678\t00120003\t00000042\t9.10\r\n"
            "NOT-LISTED\tINVOICE1.xml\tESB12345678\t00120003\t00000042\t9.10\r\n");
  EXPECT_EQ(RunOne('B', false, false),
            "NOT-WRITTEN\tINVOICE1.xml\tESB12345678\t00120003\t00000042\t9.10\r\n"
            "NOT-LISTED\tINVOICE1.xml\tESB12345678\t00120003\t00000042\t9.10\r\n");
}

}  // namespace
}  // namespace torvane
