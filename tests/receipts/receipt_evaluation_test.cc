// Tests of the receipt evaluation over the real table registry on the fake
// record manager: the due test, the unit and remittance ranges, the concept
// walk and its lookups, the taxes, the numbering, the payment reference, the
// address lines and what reaches the invoice sink and the run report.
#include "receipts/receipt_evaluation.h"

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
using testing::RecordingInvoiceSink;
using testing::UnitFields;
using testing::UnitRecord;

const std::string kBlankName(20, ' ');

RunParameters BillEverything() {
  RunParameters run;
  run.ReceiptDate = PackDigits("20090115");
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

class ReceiptEvaluationTest : public ::testing::Test {
 protected:
  ReceiptEvaluationTest()
      : run_(BillEverything()),
        taxes_(TwoClasses()),
        report_(nullptr),
        evaluation_(tables_.registry, tables_.buffers(), run_, taxes_, sink_, report_) {
    Load(tables_.owner_buffer.data(), OwnerRecord(7, 41, {{12, 0}}, "ESB12345678"));
    Load(tables_.estate_buffer.data(), EstateRecord(12));
  }

  static void Load(uint8_t* buffer, const std::string& record) {
    std::memcpy(buffer, record.data(), record.size());
  }

  ReceiptResult Evaluate(const UnitFields& fields, int vat_class = 0) {
    Load(tables_.unit_buffer.data(), UnitRecord(fields));
    return evaluation_.EvaluateReceipt(vat_class, counter_);
  }

  const InvoiceFigures& LastFigures() const { return sink_.calls.back().figures; }

  std::vector<std::string> ConceptKeysSent() const {
    return tables_.manager.KeysSent(kOpGetEqual, "TVRebut");
  }

  FakeRunTables tables_;
  RunParameters run_;
  TaxSettings taxes_;
  RecordingInvoiceSink sink_;
  RunReport report_;
  ReceiptEvaluation evaluation_;
  long long counter_ = 41;
};

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

TEST_F(ReceiptEvaluationTest, DueTestReadsTheUnitAndTheReceiptMonth) {
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
    run_.ReceiptDate = c.receipt_date;
    UnitFields fields = RentOf(1000);
    fields.period_months = c.period;
    fields.timing = c.timing;
    EXPECT_EQ(Evaluate(fields), c.due ? ReceiptResult::kInvoiced : ReceiptResult::kNotDue)
        << "period " << c.period << " timing '" << c.timing << "' date "
        << UnpackDigits(c.receipt_date);
  }
}

TEST_F(ReceiptEvaluationTest, UnitRangeIsInclusiveAndByteWise) {
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

TEST_F(ReceiptEvaluationTest, SeriesAndRemittanceSelection) {
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

TEST_F(ReceiptEvaluationTest, UnitNotDueReadsNothingAndKeepsTheNumber) {
  UnitFields never = RentOf(1000);
  never.period_months = 0;
  UnitFields outside = RentOf(1000);
  outside.series = 'X';
  EXPECT_EQ(Evaluate(never), ReceiptResult::kNotDue);
  EXPECT_EQ(Evaluate(outside), ReceiptResult::kNotDue);
  EXPECT_EQ(Evaluate(RentOf(1000), 2), ReceiptResult::kUndefinedVatClass);
  EXPECT_TRUE(tables_.manager.requests.empty());
  EXPECT_TRUE(sink_.calls.empty());
  EXPECT_EQ(counter_, 41);
}

TEST_F(ReceiptEvaluationTest, ConceptWalkLooksUpEachBilledConcept) {
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

TEST_F(ReceiptEvaluationTest, InstalmentNeedsACodeAndACount) {
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

TEST_F(ReceiptEvaluationTest, MissingOrLockedConceptBearsBothTaxesWithABlankName) {
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

TEST_F(ReceiptEvaluationTest, ConceptNotSelectedIsDropped) {
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

TEST_F(ReceiptEvaluationTest, NothingToBillUsesNoNumber) {
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
  EXPECT_TRUE(sink_.calls.empty());
  EXPECT_EQ(counter_, 41);
}

TEST_F(ReceiptEvaluationTest, TaxesRoundHalfToEvenCents) {
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

TEST_F(ReceiptEvaluationTest, RatesFollowTheVatClassAndTheUnitFlags) {
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

TEST_F(ReceiptEvaluationTest, InvoicesAreNumberedFromTheCounter) {
  UnitFields not_due = RentOf(1000);
  not_due.period_months = 0;
  ASSERT_EQ(Evaluate(RentOf(1000)), ReceiptResult::kInvoiced);
  ASSERT_EQ(Evaluate(not_due), ReceiptResult::kNotDue);
  ASSERT_EQ(Evaluate(RentOf(0)), ReceiptResult::kNothingToBill);
  ASSERT_EQ(Evaluate(RentOf(1000)), ReceiptResult::kInvoiced);
  ASSERT_EQ(sink_.calls.size(), 2u);
  EXPECT_EQ(sink_.calls[0].figures.InvoiceNumber, "00000042");
  EXPECT_EQ(sink_.calls[1].figures.InvoiceNumber, "00000043");
  EXPECT_EQ(counter_, 43);

  counter_ = 99999999;  // the number keeps its last eight digits
  ASSERT_EQ(Evaluate(RentOf(1000)), ReceiptResult::kInvoiced);
  EXPECT_EQ(LastFigures().InvoiceNumber, "00000000");
}

TEST_F(ReceiptEvaluationTest, PaymentReference) {
  ASSERT_EQ(Evaluate(RentOf(1000)), ReceiptResult::kInvoiced);  // 0012/0003
  EXPECT_EQ(LastFigures().PaymentReference, "012003V2009");

  run_.BatchReference = PackDigits("123");  // reads back as 1230
  UnitFields fields = RentOf(1000);
  fields.estate = 4567;
  fields.number = 1289;
  ASSERT_EQ(Evaluate(fields), ReceiptResult::kInvoiced);
  EXPECT_EQ(LastFigures().PaymentReference, "567289V1230");
}

TEST_F(ReceiptEvaluationTest, AddressLines) {
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

TEST_F(ReceiptEvaluationTest, FiguresOfOneUnitDoNotLeakIntoTheNext) {
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

TEST_F(ReceiptEvaluationTest, SinkSeesTheRunRecords) {
  UnitFields fields = RentOf(1000);
  fields.number = 8;
  ASSERT_EQ(Evaluate(fields), ReceiptResult::kInvoiced);
  ASSERT_EQ(sink_.calls.size(), 1u);
  EXPECT_EQ(sink_.calls[0].unit_record, UnitRecord(fields));
  EXPECT_EQ(sink_.calls[0].owner_record, OwnerRecord(7, 41, {{12, 0}}, "ESB12345678"));
}

// What the evaluation tells the run report about each invoice.
class ReceiptEvaluationReportTest : public ::testing::Test {
 protected:
  std::string RunOne(char series, bool written, bool listed) {
    MemoryFileSystem fs;
    fs.CreateFolder("TMP");
    std::unique_ptr<File> file = RunReport::OpenReportFile(fs, "TMP\\");
    RunReport report(file.get());
    RunParameters run = BillEverything();
    TaxSettings taxes = TwoClasses();
    sink_.calls.clear();
    sink_.written = written;
    sink_.listed = listed;
    ReceiptEvaluation evaluation(tables_.registry, tables_.buffers(), run, taxes, sink_, report);
    const std::string owner = OwnerRecord(7, 41, {{12, 0}}, "ESB12345678  ");
    std::memcpy(tables_.owner_buffer.data(), owner.data(), owner.size());
    UnitFields fields = RentOf(1000);
    fields.withholding = true;
    fields.series = series;
    const std::string unit = UnitRecord(fields);
    std::memcpy(tables_.unit_buffer.data(), unit.data(), unit.size());
    long long counter = 41;
    (void)evaluation.EvaluateReceipt(0, counter);
    file->Close();
    return fs.GetFile("TMP\\TORVANE1.LOG").value_or("");
  }

  FakeRunTables tables_;
  RecordingInvoiceSink sink_;
};

TEST_F(ReceiptEvaluationReportTest, InvoiceLinesCarryThePayableTotal) {
  // 1000 + 10% VAT (100) - 19% withholding (190) = 910 cents.
  EXPECT_EQ(RunOne('A', true, false),
            "INVOICE\tINVOICE1.xml\tESB12345678\t00120003\t00000042\t9.10\r\n");
  EXPECT_EQ(RunOne('B', true, true),
            "INVOICE\tINVOICE1.xml\tESB12345678\t00120003\t00000042\t9.10\r\n");
}

TEST_F(ReceiptEvaluationReportTest, ProblemsAreReported) {
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
