// On the simulated regulator: a disabled command's tooltip says what would
// enable it, in each of the four languages, and changes with the reason
// (a transfer, the identity check after a reconnection, a silent
// regulator); while the lamp is red the pages show their values as last
// read. Renders of the pages with the lamp red go to the build folder.
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <set>

#include "gui/controls/colour_label.h"
#include "gui/controls/indicator_lamp.h"
#include "gui/controls/shown_note.h"
#include "gui/monitoring/live_page.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

using namespace tools_id;

constexpr int kCtrlModify = 1147, kCtrlRestore = 1055, kCtrlUpperY = 1133, kCtrlMeasured = 1140;
constexpr int kLanguages[] = {view_id::kEnglish, view_id::kFrancais, view_id::kDeutsch, view_id::kItaliano};

class DisabledReasons : public MemoryTest {
 protected:
  std::string tip(QWidget* page, int id) { return control(page, id)->toolTip().toStdString(); }
  std::string kept(Kept k) { return m_app->keptText(k); }
  QColor textColour(QWidget* page, int id) { return edit(static_cast<CPage*>(page), id)->palette().color(QPalette::Text); }
  QLabel* note(QWidget* page) { return control<QLabel>(page, common_id::kShownNote); }
  void language(int id) { viewControl<CColourLabel>(id)->clicked(); }
  // The tooltip of `id` in each language: the kept text of `why`, never
  // empty, a different text in each.
  void expectInEveryLanguage(QWidget* page, int id, Kept why) {
    std::set<std::string> texts;
    for (int l : kLanguages) {
      language(l);
      EXPECT_TRUE(!tip(page, id).empty() && tip(page, id) == kept(why)) << id << " in " << l;
      texts.insert(tip(page, id));
    }
    EXPECT_EQ(texts.size(), 4u) << id;
    language(view_id::kEnglish);
  }
};

TEST_F(DisabledReasons, TooltipsSayWhatEnablesACommandAndSilentValuesShowAsLastRead) {
  startOnSimulator(2);
  CEditPage* ctrl = show(view_id::kControl);
  ASSERT_TRUE(button(ctrl, kCtrlModify)->isEnabled());

  // Restore writes: Modify and Restore wait for the transfer.
  click(ctrl, kCtrlRestore);
  EXPECT_FALSE(button(ctrl, kCtrlModify)->isEnabled());
  EXPECT_TRUE(tip(ctrl, kCtrlModify) == kept(Kept::WhyTransferRunning) && tip(ctrl, kCtrlRestore) == tip(ctrl, kCtrlModify));
  ASSERT_TRUE(waitForWrite(ctrl, kCtrlModify));
  EXPECT_EQ(tip(ctrl, kCtrlModify), "");

  // With a regulator answering, file mode's New and Open are grey, and
  // say why; Close, Save and Save as... want a file.
  click(&view(), view_id::kTools);
  ASSERT_FALSE(enabled(g_pToolsPage, kNew));
  expectInEveryLanguage(g_pToolsPage, kNew, Kept::WhyRegulatorAnswers);
  EXPECT_EQ(tip(g_pToolsPage, kOpen), kept(Kept::WhyRegulatorAnswers));
  EXPECT_EQ(tip(g_pToolsPage, kSave), kept(Kept::WhyNoFileOpen));
  // The pointer resting on the grey button shows it.
  QWidget* save = control(g_pToolsPage, kSave);
  QHelpEvent rest(QEvent::ToolTip, QPoint(5, 5), save->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(save, &rest);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text().toStdString(), kept(Kept::WhyNoFileOpen));
  QToolTip::hideText();

  // Reconnexion: the pages wait for the regulator's serial number.
  click(g_pToolsPage, kReconnect);
  EXPECT_TRUE(!enabled(ctrl, kCtrlModify) && tip(ctrl, kCtrlModify) == kept(Kept::WhyIdentityCheck));
  EXPECT_EQ(tip(g_pToolsPage, kExport), kept(Kept::WhyIdentityCheck));
  // Until then the images are as last read.
  EXPECT_TRUE(note(ctrl)->isVisibleTo(ctrl) && note(ctrl)->text().toStdString() == kept(Kept::ShownUnconfirmed));
  EXPECT_EQ(textColour(ctrl, kCtrlUpperY), toQColor(kLastReadText));
  ASSERT_TRUE(waitUntil([&] { return enabled(ctrl, kCtrlModify) && enabled(g_pToolsPage, kExport); }, 20000));

  // The regulator falls silent: its values are last read, the commands
  // that need it say so, and New and Open are offered.
  withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  ASSERT_TRUE(waitUntil([&] { return view().lamp()->GetColour() == colour::kRed; }, 5000));
  EXPECT_TRUE(enabled(g_pToolsPage, kNew) && tip(g_pToolsPage, kNew).empty());
  EXPECT_EQ(tip(g_pToolsPage, kExport), kept(Kept::WhyRegulatorSilent));
  ctrl = show(view_id::kControl);
  EXPECT_FALSE(enabled(ctrl, kCtrlModify));
  expectInEveryLanguage(ctrl, kCtrlModify, Kept::WhyRegulatorSilent);
  ASSERT_TRUE(note(ctrl)->isVisible());
  EXPECT_EQ(note(ctrl)->text().toStdString(), kept(Kept::ShownLastRead));
  const QColor grey = toQColor(kLastReadText);
  EXPECT_EQ(textColour(ctrl, kCtrlUpperY), grey);
  EXPECT_EQ(textColour(ctrl, kCtrlMeasured), grey);
  EXPECT_EQ(textColour(g_pLivePage, live_id::kP2), grey);
  // The map pages' texts of the images too.
  for (auto [page, id] : {std::pair<QWidget*, int>{g_pCalibrationPage, calibration_id::kBaseList},
                          {g_pAfterSalesPage, after_sales_id::kBaseDump}}) {
    EXPECT_EQ(control<CMapEdit>(page, id)->textColour(), kLastReadText) << id;
    EXPECT_EQ(control(page, id)->toolTip().toStdString(), kept(Kept::ShownLastRead)) << id;
  }
  savePng(ctrl, "vrx4-lastread-control-m2.png");

  // Back: the identity check confirms the images, which are current again.
  withDevice([](sim::SimDevice& d) { d.faults().silent = false; });
  ctrl = show(view_id::kControl);
  ASSERT_TRUE(waitUntil([&] { return enabled(ctrl, kCtrlModify); }, 20000));
  EXPECT_TRUE(tip(ctrl, kCtrlModify).empty() && !note(ctrl)->isVisible());
  EXPECT_EQ(textColour(ctrl, kCtrlUpperY), QColor(Qt::black));
  EXPECT_EQ(control<CMapEdit>(g_pCalibrationPage, calibration_id::kBaseList)->textColour(), colour::kBlack);
  EXPECT_TRUE(control(g_pCalibrationPage, calibration_id::kBaseList)->toolTip().isEmpty());
  close();
}

}  // namespace
}  // namespace vrx4::testing
