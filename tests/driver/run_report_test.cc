// Tests of the run report: its lines, their totals and the file's life.
#include "driver/run_report.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/packed_digits.h"
#include "platform/memory_file_system.h"

namespace torvane {
namespace {

ReportedInvoice Invoice(std::string file, double total_cents, bool direct_debit = false) {
  ReportedInvoice invoice;
  invoice.file_name = std::move(file);
  invoice.owner_tax_number =
      "ES\xA5"
      "1234567   ";  // code page 850 passes through
  invoice.unit_key = PackDigits("00120003");
  invoice.invoice_number = "00000042";
  invoice.total_cents = total_cents;
  invoice.direct_debit = direct_debit;
  return invoice;
}

class RunReportTest : public ::testing::Test {
 protected:
  RunReportTest() { fs_.CreateFolder("TMP"); }

  std::string Written() { return fs_.GetFile("TMP\\TORVANE1.LOG").value_or("<missing>"); }

  MemoryFileSystem fs_;
};

TEST_F(RunReportTest, WholeRun) {
  std::unique_ptr<File> file = RunReport::OpenReportFile(fs_, "TMP\\");
  ASSERT_NE(file, nullptr);
  RunReport report(file.get());
  report.Begin(CalendarDate{2009, 12, 1}, PackDigits("2009"));
  for (int i = 0; i < 5; ++i) report.UnitVisited();
  report.InvoiceDone(Invoice("C:\\K\\DOCUMENT\\VER\\0012\\0003\\A\xA4.xml", 91050), true, false);
  report.InvoiceDone(Invoice("B1.xml", -250, true), true, true);
  report.InvoiceDone(Invoice("B2.xml", 1000, true), false, false);
  report.VatClassSkipped(PackDigits("0007"), "ESB12345678      ", 3, PackDigits("0014"), 2);
  report.End();
  file->Close();
  EXPECT_EQ(Written(),
            "RUN\t2009-12-01\t2009\r\n"
            "INVOICE\tC:\\K\\DOCUMENT\\VER\\0012\\0003\\A\xA4.xml\tES\xA5"
            "1234567\t00120003\t"
            "00000042\t910.50\r\n"
            "INVOICE\tB1.xml\tES\xA5"
            "1234567\t00120003\t00000042\t-2.50\r\n"
            "NOT-WRITTEN\tB2.xml\tES\xA5"
            "1234567\t00120003\t00000042\t10.00\r\n"
            "NOT-LISTED\tB2.xml\tES\xA5"
            "1234567\t00120003\t00000042\t10.00\r\n"
            "VATCLASS-SKIPPED\t0007\tESB12345678\t3\t0014\t2\r\n"
            "END\t5\t2\t908.00\r\n");
  EXPECT_EQ(report.invoices_written(), 2);
  EXPECT_EQ(report.total_cents(), 90800);
}

TEST_F(RunReportTest, EveryRunRewritesTheFile) {
  fs_.SetFile("TMP\\TORVANE1.LOG", "an older and much longer report\r\n");
  std::unique_ptr<File> file = RunReport::OpenReportFile(fs_, "TMP\\");
  RunReport report(file.get());
  report.End();
  file->Close();
  EXPECT_EQ(Written(), "END\t0\t0\t0.00\r\n");
}

TEST_F(RunReportTest, ReportThatCannotBeWrittenChangesNothing) {
  // No such folder: no file, and the report still counts.
  EXPECT_EQ(RunReport::OpenReportFile(fs_, "MISSING\\"), nullptr);
  RunReport discarded(nullptr);
  discarded.UnitVisited();
  discarded.InvoiceDone(Invoice("A.xml", 100), true, true);
  discarded.End();
  EXPECT_EQ(discarded.units_visited(), 1);
  EXPECT_EQ(discarded.invoices_written(), 1);

  fs_.FailWritesTo("TMP\\TORVANE1.LOG");
  std::unique_ptr<File> failing = RunReport::OpenReportFile(fs_, "TMP\\");
  ASSERT_NE(failing, nullptr);
  RunReport report(failing.get());
  report.Begin(CalendarDate{}, "");
  report.End();
  EXPECT_EQ(Written(), "");
}

// No field can make a line of its own: control bytes inside a field are
// written as blanks.
TEST_F(RunReportTest, ControlBytesInAFieldAreBlanks) {
  std::unique_ptr<File> file = RunReport::OpenReportFile(fs_, "TMP\\");
  RunReport report(file.get());
  ReportedInvoice forged = Invoice("A.xml", 100);
  forged.owner_tax_number = "ES1\r\nINVOICE\tX.xml\tES2\x01";
  report.InvoiceDone(forged, true, true);
  file->Close();
  EXPECT_EQ(Written(), "INVOICE\tA.xml\tES1  INVOICE X.xml ES2 \t00120003\t00000042\t1.00\r\n");
}

// The lines of what went wrong, and the counts that decide the exit code.
TEST_F(RunReportTest, ProblemsAndFailuresAreCounted) {
  std::unique_ptr<File> file = RunReport::OpenReportFile(fs_, "TMP\\");
  RunReport report(file.get());
  report.ParametersMissing("T\\pent.tmp");
  report.NotComplete("T\\TAR.LST");
  report.Fatal("R\\DADES\\TVRebut", 2);
  EXPECT_EQ(report.problems(), 3);
  EXPECT_TRUE(report.complete());
  file->Close();
  EXPECT_EQ(Written(),
            "NO-PARAMETERS\tT\\pent.tmp\r\n"
            "NOT-COMPLETE\tT\\TAR.LST\r\n"
            "FATAL\tR\\DADES\\TVRebut\t2\r\n");

  fs_.FailWritesTo("TMP\\TORVANE1.LOG");
  std::unique_ptr<File> failing = RunReport::OpenReportFile(fs_, "TMP\\");
  RunReport unwritten(failing.get());
  unwritten.Begin(CalendarDate{}, "");
  unwritten.End();
  EXPECT_FALSE(unwritten.complete());
  EXPECT_FALSE(RunReport(nullptr).complete());
}

}  // namespace
}  // namespace torvane
