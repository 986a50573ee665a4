// Tests of the owner and unit walk over the real table registry on the fake
// record manager, with the real unit step behind it: the order of owners,
// estates and units, the estate range, each owner's class and counter, and
// the ends of the loops.
#include "driver/owner_walk.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/packed_digits.h"
#include "tests/fake_tables.h"

namespace torvane {
namespace {

using testing::EstateEntry;
using testing::EstateRecord;
using testing::FakeRunTables;
using testing::OwnerRecord;
using testing::PackedNumber;
using testing::RecordingInvoiceOutput;
using testing::UnitFields;
using testing::UnitRecord;

class OwnerWalkTest : public ::testing::Test {
 protected:
  OwnerWalkTest() {
    run_.ReceiptDate = CalendarDate{2009, 1, 15};
    run_.UnitKeyFrom = "";
    run_.UnitKeyTo = PackDigits("99999999");
    run_.BatchReference = PackDigits("2009");
    run_.SeriesSelection[0] = SeriesEntry{true, "A" + PackDigits("0000"), "A" + PackDigits("9999")};
    run_.ConceptSelected.fill(true);
    taxes_.VatClassName = {"IVA", "IGIC"};
    files_.CreateFolder("TMP");
    report_file_ = RunReport::OpenReportFile(files_, "TMP\\");
  }

  void AddOwner(int code, int last_invoice, const std::vector<EstateEntry>& estates,
                char filler = '\0') {
    tables_.manager.PutRecord("PropietV", OwnerRecord(code, last_invoice, estates,
                                                      "ES0000" + std::to_string(code), filler));
  }
  void AddEstate(int code) { tables_.manager.PutRecord("FinquesV", EstateRecord(code)); }
  void AddUnit(int estate, int number) {
    UnitFields fields;  // monthly, series A, remittance 0001
    fields.estate = estate;
    fields.number = number;
    fields.fixed[0] = 1000;
    tables_.manager.PutRecord("DepartaV", UnitRecord(fields));
  }

  // Runs the walk; returns "unit invoice-number class-name" per invoice.
  std::vector<std::string> Walk() {
    RunReport report(report_file_.get());
    LanguageTexts texts(tables_.files, "", "CAT", "TORVANE1");
    UnitInvoicing invoicing(tables_.registry, tables_.buffers(), run_, taxes_, texts, output_,
                            report);
    OwnerAndUnitWalk(tables_.registry, tables_.buffers(), run_, invoicing, report);
    report.End();
    units_visited_ = report.units_visited();
    std::vector<std::string> invoices;
    for (const Receipt& receipt : output_.receipts) {
      invoices.push_back(receipt.unit_digits + " " + receipt.figures.InvoiceNumber + " " +
                         receipt.figures.VatName);
    }
    return invoices;
  }

  std::string ReportText() {
    report_file_->Close();
    return files_.GetFile("TMP\\TORVANE1.LOG").value_or("");
  }

  // The estate parts of the unit keys sent to reach each estate's first unit.
  std::vector<std::string> EstatesWalked() const {
    std::vector<std::string> estates;
    for (const std::string& key : tables_.manager.KeysSent(kOpGetGreaterOrEqual, "DepartaV")) {
      estates.push_back(UnpackDigits(key.substr(0, 2)));
    }
    return estates;
  }

  FakeRunTables tables_;
  RunParameters run_;
  TaxSettings taxes_;
  RecordingInvoiceOutput output_;
  MemoryFileSystem files_;
  std::unique_ptr<File> report_file_;
  long long units_visited_ = 0;
};

TEST_F(OwnerWalkTest, EstatesInListOrderAndUnitsInKeyOrder) {
  AddOwner(1, 10, {{14, 0}, {12, 0}});
  AddEstate(12);
  AddEstate(14);
  AddUnit(14, 2);
  AddUnit(12, 9);
  AddUnit(14, 1);
  AddUnit(12, 1);
  EXPECT_EQ(Walk(), (std::vector<std::string>{"00140001 00000011 IVA", "00140002 00000012 IVA",
                                              "00120001 00000013 IVA", "00120009 00000014 IVA"}));
}

TEST_F(OwnerWalkTest, EstateIsWalkedForEveryListEntryWithThatOwnersClassAndCounter) {
  AddOwner(3, 500, {{12, 1}});
  AddOwner(1, 10, {{12, 0}, {13, 1}, {12, 1}});  // estate 12 twice
  AddEstate(12);
  AddEstate(13);
  AddUnit(12, 1);
  AddUnit(13, 1);
  EXPECT_EQ(Walk(), (std::vector<std::string>{"00120001 00000011 IVA", "00130001 00000012 IGIC",
                                              "00120001 00000013 IGIC", "00120001 00000501 IGIC"}));
}

TEST_F(OwnerWalkTest, MissingEstateIsSkippedSilently) {
  AddOwner(1, 10, {{20, 0}, {12, 0}});
  AddEstate(12);
  AddUnit(12, 1);
  AddUnit(20, 1);  // units of an estate that is not in the estates table
  EXPECT_EQ(Walk(), (std::vector<std::string>{"00120001 00000011 IVA"}));
  EXPECT_EQ(units_visited_, 1);
  EXPECT_EQ(ReportText(),
            "INVOICE\tINVOICE1.xml\tES00001\t00120001\t00000011\t10.00\r\n"
            "END\t1\t1\t10.00\r\n");
  // Every entry inside the range is looked up, the eighteen empty ones too.
  const std::vector<std::string> looked_up = tables_.manager.KeysSent(kOpGetEqual, "FinquesV");
  ASSERT_EQ(looked_up.size(), 20u);
  EXPECT_EQ(looked_up[0], PackedNumber(20, 4));
  EXPECT_EQ(looked_up[1], PackedNumber(12, 4));
  EXPECT_EQ(looked_up[2], std::string(2, '\0'));
}

TEST_F(OwnerWalkTest, EstateRangeUsesTheEstatePartsOnly) {
  struct Case {
    std::string from;
    std::string to;
    std::vector<std::string> estates;
  } const cases[] = {
      {"", PackDigits("99999999"), {"0012", "0013", "0014"}},  // empty lower bound
      {"", PackDigits("00010000"), {}},                        // upper bound below every code
      {"", "", {}},                                            // empty upper bound
      {PackDigits("00139999"), PackDigits("00130000"), {"0013"}},
      {PackDigits("0013"), PackDigits("0014"), {"0013", "0014"}},
  };
  AddOwner(1, 10, {{12, 0}, {13, 0}, {14, 0}});
  for (int code : {12, 13, 14}) {
    AddEstate(code);
    AddUnit(code, 1);
  }
  for (const Case& c : cases) {
    tables_.manager.requests.clear();
    run_.UnitKeyFrom = c.from;
    run_.UnitKeyTo = c.to;
    Walk();
    EXPECT_EQ(EstatesWalked(), c.estates) << UnpackDigits(c.from) << ".." << UnpackDigits(c.to);
  }
}

TEST_F(OwnerWalkTest, UnitRangeIsLeftToTheEvaluation) {
  run_.UnitKeyFrom = PackDigits("00120005");
  run_.UnitKeyTo = PackDigits("00140002");
  AddOwner(1, 10, {{12, 0}, {13, 0}, {14, 0}, {15, 0}});
  for (int code : {12, 13, 14, 15}) AddEstate(code);
  AddUnit(12, 3);
  AddUnit(12, 5);
  AddUnit(12, 9);
  AddUnit(13, 1);
  AddUnit(14, 2);
  AddUnit(14, 3);
  AddUnit(15, 1);
  EXPECT_EQ(Walk(), (std::vector<std::string>{"00120005 00000011 IVA", "00120009 00000012 IVA",
                                              "00130001 00000013 IVA", "00140002 00000014 IVA"}));
  EXPECT_EQ(units_visited_, 6);  // every unit of estates 12, 13 and 14
  // The estate's first unit is reached from its code completed with zero bytes.
  EXPECT_EQ(tables_.manager.KeysSent(kOpGetGreaterOrEqual, "DepartaV")[0],
            std::string("\x80\x8C\x00\x00", 4));
}

TEST_F(OwnerWalkTest, OwnerWithAnEmptyListGivesNothing) {
  AddOwner(1, 10, {});
  AddOwner(2, 20, {}, ' ');  // unused entries of blanks: estate 0x2020, class 8224
  AddOwner(3, 30, {{12, 0}});
  AddEstate(12);
  AddUnit(12, 1);
  EXPECT_EQ(Walk(), (std::vector<std::string>{"00120001 00000031 IVA"}));
  EXPECT_EQ(ReportText(),
            "INVOICE\tINVOICE1.xml\tES00003\t00120001\t00000031\t10.00\r\n"
            "END\t1\t1\t10.00\r\n");
}

TEST_F(OwnerWalkTest, EntryWithAnUndefinedVatClassIsReportedAndNotWalked) {
  AddOwner(1, 10, {{12, 2}, {13, -1}, {14, 1}, {20, 5}});  // estate 20 does not exist
  for (int code : {12, 13, 14}) {
    AddEstate(code);
    AddUnit(code, 1);
  }
  EXPECT_EQ(Walk(), (std::vector<std::string>{"00140001 00000011 IGIC"}));
  EXPECT_EQ(ReportText(),
            "VATCLASS-SKIPPED\t0001\tES00001\t1\t0012\t2\r\n"
            "VATCLASS-SKIPPED\t0001\tES00001\t2\t0013\t-1\r\n"
            "INVOICE\tINVOICE1.xml\tES00001\t00140001\t00000011\t10.00\r\n"
            "END\t1\t1\t10.00\r\n");
}

TEST_F(OwnerWalkTest, FailedUnitReadEndsOnlyThatEstate) {
  AddOwner(1, 10, {{12, 0}, {13, 0}});
  AddEstate(12);
  AddEstate(13);
  AddUnit(12, 3);
  AddUnit(12, 5);
  AddUnit(12, 9);
  AddUnit(13, 1);
  tables_.manager.FailKey("DepartaV", PackDigits("00120005"), 84);  // locked
  EXPECT_EQ(Walk(), (std::vector<std::string>{"00120003 00000011 IVA", "00130001 00000012 IVA"}));
}

TEST_F(OwnerWalkTest, FailedOwnerReadEndsTheWalk) {
  AddOwner(1, 10, {{12, 0}});
  AddOwner(2, 20, {{12, 0}});
  AddOwner(3, 30, {{12, 0}});
  AddEstate(12);
  AddUnit(12, 1);
  tables_.manager.FailKey("PropietV", PackedNumber(2, 4), 84);
  EXPECT_EQ(Walk(), (std::vector<std::string>{"00120001 00000011 IVA"}));
}

TEST_F(OwnerWalkTest, EmptyOwnersTableWalksNothing) {
  EXPECT_TRUE(Walk().empty());
  EXPECT_EQ(ReportText(), "END\t0\t0\t0.00\r\n");
}

}  // namespace
}  // namespace torvane
