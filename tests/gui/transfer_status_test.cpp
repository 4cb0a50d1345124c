// The status bar beside the lamp: the transfer bar follows a write on the
// simulated regulator to its end and then goes; Import, Reload EEPROM and
// Save say that they have finished in a text that fades, while the write's
// "Reset VRX" box stays; renders of a transfer half way and of a notice.
#include <QCoreApplication>

#include "core/link/comm_thread.h"
#include "gui/app/gui_notifier.h"
#include "gui/controls/status_notice.h"
#include "gui/controls/transfer_progress_bar.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

using namespace tools_id;
using transfer_progress::Progress;
using transfer_progress::Stage;

class TransferStatus : public MemoryTest {
 protected:
  CTransferProgressBar& bar() { return *view().progressBar(); }
  CStatusNotice& notice() { return *view().notice(); }
  std::string kept(Kept k) { return m_app->keptText(k); }
  void post(const Progress& p) {
    QCoreApplication::postEvent(&view(), new LinkEvent(msg::kTransferProgress, transfer_progress::wParamOf(p),
                                                       transfer_progress::lParamOf(p)));
    settle();
  }
};

TEST_F(TransferStatus, TheBarFollowsAWriteToItsEndAndCommandsSayTheyHaveFinished) {
  startOnSimulator(2);
  click(&view(), view_id::kTools);
  EXPECT_FALSE(bar().isVisible());

  // Restore: the bar shows the write's steps as they go, never back, and
  // goes when the write ends; the write's own box is still shown.
  const std::size_t boxes = m_boxes.size();
  click(g_pToolsPage, kRestore);
  std::vector<int> seen;
  bool rendered = false;
  ASSERT_TRUE(waitUntil([&] {
    if (bar().isVisible()) {
      seen.push_back(bar().percent());
      if (!rendered && seen.back() >= 45) {
        rendered = true;
        savePng(m_app->mainFrame(), "transfer_restore.png");  // about half way
      }
    }
    return !state().requestPending();
  }, 30000));
  settle();
  EXPECT_FALSE(bar().isVisible());
  ASSERT_GE(seen.size(), 3u);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_TRUE(seen.back() > 50 && seen.back() < 100) << seen.back();
  EXPECT_NE(bar().text().toStdString().find("Writing the VRX: step "), std::string::npos);
  ASSERT_TRUE(waitUntil([&] { return m_boxes.size() > boxes; }, 5000));
  EXPECT_EQ(m_boxes.back(), kept(Kept::TransferDone));

  // Import from VRX: the file's name, held, then faded out and gone.
  EXPECT_FALSE(notice().isVisible());
  tools(kImport, path("conf.txt"));
  EXPECT_TRUE(notice().isVisible() && notice().opacity() == 1.0);
  EXPECT_EQ(notice().text().toStdString(), "Imported into conf.txt");
  savePng(m_app->mainFrame(), "status_notice.png");
  double faded = 1;
  ASSERT_TRUE(waitUntil([&] {
    if (notice().isVisible()) faded = std::min(faded, notice().opacity());
    return !notice().isVisible();
  }, CStatusNotice::kHoldMs + CStatusNotice::kFadeMs + 2000));
  EXPECT_LT(faded, 1.0);

  // Reload EEPROM: said once its read has ended, not when it is asked for.
  click(g_pToolsPage, kReload);
  EXPECT_FALSE(notice().isVisible());
  ASSERT_TRUE(waitUntil([&] { return notice().isVisible(); }, 20000));
  EXPECT_EQ(state().g_eepromLoaded.load(), 1);
  EXPECT_EQ(notice().text().toStdString(), "EEPROM reloaded from the regulator");

  // Save in file mode, in French.
  view().OnLanguage(1);
  m_files.push_back(path("conf.txt"));
  g_pToolsPage->OnOpen();  // the button is offered while no regulator answers
  ASSERT_EQ(state().g_fileMode.load(), 1);
  tools(kSaveAs, path("copie.txt"));
  EXPECT_EQ(notice().text().toStdString(), "Enregistré dans copie.txt");
  waitIdle();
}

TEST_F(TransferStatus, ProgressReportsAsTheWindowShowsThem) {
  // A write half way, then waiting for the regulator: rendered for a look.
  writeFile(m_settings, "[Agreement]\nState=1\n");
  start();
  // No port: the link says so and ends, its last report (the read dropped)
  // in the queue before the test's own.
  ASSERT_TRUE(waitUntil([&] { return !m_boxes.empty() && view().link()->exited(); }));
  settle();
  EXPECT_FALSE(bar().isVisible());
  post({41, 83, 1800, Stage::Running, true});
  ASSERT_TRUE(bar().isVisible());
  EXPECT_EQ(bar().percent(), 49);
  EXPECT_EQ(bar().text().toStdString(), "Writing the VRX: step 42 of 83, 2 s left");
  savePng(m_app->mainFrame(), "transfer_progress.png");
  post({41, 83, 1800, Stage::Waiting, true});
  EXPECT_EQ(bar().text().toStdString(), "Waiting for the VRX: step 42 of 83");
  view().OnLanguage(2);
  post({20, 45, 700, Stage::Running, false});
  EXPECT_EQ(bar().text().toStdString(), "VRX lesen: Schritt 21 von 45, noch 1 s");
  // Its end, whether finished or dropped, takes the bar away.
  post({45, 45, 0, Stage::Dropped, false});
  EXPECT_FALSE(bar().isVisible());
}

}  // namespace
}  // namespace vrx4::testing
