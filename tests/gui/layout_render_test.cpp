// Every page of the main window in English, French, German and Italian, in
// SETTING (mode 2) and SETTING PRO with the service pages (mode 4), on the
// simulated regulator, rendered to PNG files in the build folder for a
// look (vrx4-layout-<page>-m<mode>-<language>.png), and the file dialog.
// Checked on each: no text cut, no controls overlapping, no text touching
// another control or sitting on a frame line.
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

#include "gui/app/logo_panel.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/file_dialog_shape.h"
#include "gui/controls/plain_file_icons.h"
#include "layout_checks.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

struct Language {
  int selector;
  const char* name;
};
constexpr Language kLanguages[] = {
    {view_id::kEnglish, "en"}, {view_id::kFrancais, "fr"}, {view_id::kDeutsch, "de"}, {view_id::kItaliano, "it"}};

struct Shot {
  int nav;
  const char* name;
};
constexpr Shot kPages[] = {{view_id::kHome, "home"},       {view_id::kTools, "tools"},
                           {view_id::kLive, "live"},       {view_id::kGraph, "graph"},
                           {view_id::kControl, "control"}, {view_id::kAlarm, "alarm"},
                           {view_id::kUout, "uout"},       {view_id::kIout, "iout"},
                           {view_id::kAuxin, "auxin"},     {view_id::kPid, "pid"},
                           {view_id::kCalibration, "calibration"}, {view_id::kAfterSales, "after-sales"}};

class LayoutRenders : public MemoryTest {
 protected:
  CPage* shownPage() {
    for (CPage* p : view().pages())
      if (p->isVisible() && p != g_pLogoMakerPage && p != g_pLogoBrandPage && p != g_pLogoSoftwarePage) return p;
    return nullptr;
  }
  void renderAll(std::uint32_t mode) {
    for (const Language& l : kLanguages) {
      viewControl<CColourLabel>(l.selector)->clicked();
      for (const Shot& s : kPages) {
        QWidget* nav = viewControl(s.nav);
        if (!nav->isVisible()) continue;  // not offered in this mode
        click(&view(), s.nav);
        waitIdle();
        settle();
        const std::string name = std::string(s.name) + "-m" + std::to_string(mode) + "-" + l.name;
        CPage* page = shownPage();
        ASSERT_NE(page, nullptr) << name;
        savePng(&view(), "vrx4-layout-" + name + ".png");
        expectCleanLayout(page, name);
        expectCleanLayout(&view(), name + " (window)",
                          {viewControl(view_id::kDecoUp), viewControl(view_id::kDecoDown)});
        if (s.nav == view_id::kTools) {
          click(g_pToolsPage, tools_id::kInformation);
          savePng(&view(), "vrx4-layout-info-m" + std::to_string(mode) + "-" + l.name + ".png");
          expectCleanLayout(g_pInfoPage, "info " + name);
          g_pInfoPage->hide();
        }
      }
    }
    viewControl<CColourLabel>(view_id::kEnglish)->clicked();
  }
};

TEST_F(LayoutRenders, EveryPageInFourLanguagesInModesTwoAndFour) {
  startOnSimulator(2);
  renderAll(2);
  enterMode(4);
  renderAll(4);
  close();
}

TEST_F(LayoutRenders, FileDialogShowsNameSizeTypeAndDate) {
  for (const char* name : {"a-configuration-with-a-rather-long-name.txt", "b.txt"})
    writeFile(m_dir + "/" + name, "00000 00\n");
  QFileDialog dialog(nullptr, QStringLiteral("Open"), QString::fromStdString(m_dir), QStringLiteral("Fichiers textes (*.txt)"));
  PlainFileIcons icons;
  dialog.setIconProvider(&icons);
  shapeFileDialog(dialog);
  dialog.show();
  auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  ASSERT_NE(files, nullptr);
  waitUntil([&] { return files->model() != nullptr && files->model()->rowCount(files->rootIndex()) >= 2; }, 3000);
  settle();
  savePng(&dialog, "vrx4-layout-file-dialog.png");
  // Every column whole inside the list; the size, type and date of every
  // file and the column titles whole in theirs.
  QHeaderView* header = files->header();
  const QAbstractItemModel* model = files->model();
  for (int c = 0; c < header->count(); ++c) {
    if (header->isSectionHidden(c)) continue;
    EXPECT_LE(header->sectionViewportPosition(c) + header->sectionSize(c), files->viewport()->width()) << "column " << c;
    EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c)) << "column " << c;
    if (c == 0) continue;
    for (int row = 0; row < model->rowCount(files->rootIndex()); ++row) {
      const QString text = model->index(row, c, files->rootIndex()).data().toString();
      EXPECT_GE(header->sectionSize(c), files->fontMetrics().horizontalAdvance(text) + 8)
          << "column " << c << ": " << text.toStdString();
    }
  }
  dialog.hide();
}

}  // namespace
}  // namespace vrx4::testing
