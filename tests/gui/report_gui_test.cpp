// The tools page's Report... on the simulated regulator and in file mode:
// the note dialog, the PDF and the print-out read back as text against
// what the pages show, the golden file's differences, the refusals.
#include <QPrinter>
#include <sstream>

#include "../pdf_text.h"
#include "core/memory/config_file.h"
#include "gui/app/report_command.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

using namespace tools_id;

class ReportTest : public MemoryTest {
 protected:
  void SetUp() override {
    if (!pdfToolsInstalled()) GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are not installed";
    MemoryTest::SetUp();
  }
  CReportCommand& command() { return *view().findChild<CReportCommand*>(); }
  // The report's dialogs answered: the PDF goes to `pdf`.
  void answerPdf(const std::string& pdf) {
    command().choosePdf = [this, pdf](QWidget*, const QString&, const QString& suggested) {
      m_suggested = suggested.toStdString();
      return QString::fromStdString(pdf);
    };
  }
  // The note dialog answered too: the note, the golden file (a path in the
  // test folder, or none), print or not.
  void answerNote(const QString& note, const std::string& golden, bool print, const std::string& pdf = {}) {
    const QString g = golden.empty() ? QString() : QString::fromStdString(path(golden.c_str()));
    command().ask = [=](QWidget*, const report::Labels&) { return std::optional<ReportRequest>({note, g, print}); };
    if (!pdf.empty()) answerPdf(path(pdf.c_str()));
  }
  // "<label> <text of the field> <unit>" for each corner of a channel page.
  std::string corners(CPage* page, Channel ch, const char* x, const char* y) {
    const ChannelIds& ids = channelIds(ch);
    auto t = [&](int id) { return text(page, id).toStdString(); };
    return "lower x corner " + t(ids.xLow) + " " + x + "\nupper x corner " + t(ids.xHigh) + " " + x +
           "\nlower y corner " + t(ids.yLow) + " " + y + "\nupper y corner " + t(ids.yHigh) + " " + y + "\n";
  }
  // Every line of `lines` is in the report's text `pdf`.
  void expectLines(const std::string& lines, const std::string& pdf) {
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);)
      EXPECT_NE(pdf.find(line), std::string::npos) << "not in the report: " << line << "\n" << pdf;
  }
  std::string m_suggested;
};

TEST_F(ReportTest, ARegulatorsReportHoldsWhatThePagesShowAndTheGoldenDifferences) {
  startOnSimulator(2);
  // What the pages show, read from their fields.
  std::string pageTexts = corners(show(view_id::kControl), Channel::Control, "V", "bar") +
                          corners(show(view_id::kIout), Channel::Iout, "bar", "mA");
  CPage* alarm = show(view_id::kAlarm);
  pageTexts += "Error + " + text(alarm, alarm_id::kErrorPlus).toStdString() + " bar\nDelay OFF " +
               text(alarm, alarm_id::kDelayOff).toStdString() + " s\n";
  CPage* pid = show(view_id::kPid);
  pageTexts += "Kp High " + text(pid, pid_id::kKpHigh).toStdString() + "\nKd " + text(pid, pid_id::kKd).toStdString();
  click(&view(), view_id::kTools);
  EXPECT_TRUE(shown(g_pToolsPage, kReport) && enabled(g_pToolsPage, kReport));

  // A golden file that differs in Kp High.
  Images golden = state().snapshot();
  golden.g_baseDevice[0x2B] = 0x63;
  writeFile(path("golden.txt"), config_file::wholeConfiguration(golden.g_optionDevice, golden.g_baseDevice));

  // The note dialog itself, filled in as a technician would.
  answerPdf(path("press7.pdf"));
  onNextModal([this](QWidget* w) {
    w->findChild<QLineEdit*>(CReportDialog::kNote)->setText(QStringLiteral("J. Smith, press 7"));
    w->findChild<QLineEdit*>(CReportDialog::kGolden)->setText(QString::fromStdString(path("golden.txt")));
    savePng(w, "report_dialog.png");
    w->findChild<QPushButton*>(CReportDialog::kPdf)->click();
  });
  tools(kReport);
  EXPECT_EQ(m_suggested.substr(0, 13), "VRX4-012345-2");
  const std::string pdf = pdfText(path("press7.pdf"));
  EXPECT_TRUE(pdfToPng(path("press7.pdf"), VRX4_TEST_OUTPUT_DIR "/report-regulator") && m_boxes.empty());
  // The built-in simulated regulator is never taken for a real one.
  expectLines("VRX4 commissioning report\nVRX's serial number 01 23 45\nRegulator on port " + m_app->linkPort() +
                  " (the built-in simulated regulator)\nTechnician and machine J. Smith, press 7\nAccess mode "
                  "SETTING\nDifferences from the golden file\nBASE KPHG 0x2B 78 63\n" + pageTexts, pdf);

  // The print dialog's printer gets the same pages (here a PDF printer).
  answerNote(QStringLiteral("printed"), {}, true);
  command().choosePrinter = [this](QWidget*, QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path("printed.pdf")));
    return true;
  };
  tools(kReport);
  const std::string printed = pdfText(path("printed.pdf"));
  expectLines("VRX's serial number 01 23 45\n" + pageTexts, printed);
  EXPECT_EQ(printed.find("Differences from"), std::string::npos);

  // A golden file that cannot be read, or that the PDF would replace:
  // said, and no report written over it.
  const std::string goldenText = readFile(path("golden.txt"));
  for (const char* name : {"missing.txt", "golden.txt"}) {
    answerNote({}, name, false, "golden.txt");
    tools(kReport);
  }
  ASSERT_EQ(m_boxes.size(), 2u);
  EXPECT_TRUE(m_boxes[0].starts_with(std::string(config_file::kMsgCouldNotOpen))) << m_boxes[0];
  EXPECT_NE(m_boxes[1].find("is a configuration file of this report"), std::string::npos) << m_boxes[1];
  EXPECT_EQ(readFile(path("golden.txt")), goldenText);

  // While the images are read again the button waits, and comes back.
  tools(kReload);
  EXPECT_FALSE(enabled(g_pToolsPage, kReport));
  ASSERT_TRUE(waitIdle());
  settle();
  EXPECT_TRUE(enabled(g_pToolsPage, kReport));

  // In French, the report is French.
  view().OnLanguage(1);
  answerNote({}, {}, false, "fr.pdf");
  tools(kReport);
  EXPECT_NE(pdfText(path("fr.pdf")).find("Rapport de mise en service VRX4"), std::string::npos);
}

TEST_F(ReportTest, AFilesReportSaysSoAndARegulatorNotReadIsRefused) {
  startWithoutDevice(2);
  // No regulator has answered: the button waits, and the command refuses
  // with a message before it asks anything.
  EXPECT_FALSE(enabled(g_pToolsPage, kReport));
  bool asked = false;
  command().ask = [&](QWidget*, const report::Labels&) {
    asked = true;
    return std::optional<ReportRequest>();
  };
  command().run(g_pToolsPage);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_NE(m_boxes[0].find("has not been read completely"), std::string::npos) << m_boxes[0];
  EXPECT_FALSE(asked);

  // File mode, with a change not saved yet.
  Images im;
  // Serial number 0A 1B 2C, Kp Low 60.
  for (auto [at, value] : {std::pair<int, std::uint8_t>{0x25, 0x0A}, {0x26, 0x1B}, {0x27, 0x2C}, {0x2C, 0x3C}})
    im.g_baseDevice[at] = value;
  writeFile(path("press7.txt"), config_file::wholeConfiguration(im.g_optionDevice, im.g_baseDevice));
  tools(kOpen, path("press7.txt"));
  ASSERT_EQ(state().g_fileMode.load(), 1);
  EXPECT_TRUE(enabled(g_pToolsPage, kReport));
  state().withImages([](Images& images) { images.g_baseDevice[0x2C] = 0x11; });  // Kp Low 17
  answerNote({}, "press7.txt", false, "file.pdf");
  tools(kReport);
  const std::string pdf = pdfText(path("file.pdf"));
  EXPECT_TRUE(pdfToPng(path("file.pdf"), VRX4_TEST_OUTPUT_DIR "/report-file-mode"));
  std::string flat = pdf;  // the notice runs over several lines
  std::replace(flat.begin(), flat.end(), '\n', ' ');
  expectLines("Configuration file " + path("press7.txt") + "\nThis report describes the configuration file " +
                  path("press7.txt") + " with the changes made in the window\nVRX's serial number 0A 1B 2C\nKp Low "
                  "17\nBASE KPLOW 0x2C 11 3C", flat);
  savePng(g_pToolsPage, "tools_page_report.png");
}

}  // namespace
}  // namespace vrx4::testing
