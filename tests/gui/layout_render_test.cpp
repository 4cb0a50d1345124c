// Every page of the main window in English, French, German and Italian, in
// SETTING (mode 2) and SETTING PRO with the service pages (mode 4), on the
// simulated regulator, rendered to PNG files in the build folder for a
// look (vrx4-layout-<page>-m<mode>-<language>.png), the parameter and map
// pages in Modify mode too; the tools page in VISUALISATION, the port
// dialog and the file dialog. Checked on each: no text cut, no controls
// overlapping, no text touching another control or sitting on a frame line.
#include <QFileDialog>
#include <QFrame>
#include <QHeaderView>
#include <QListView>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTreeView>

#include "gui/app/logo_panel.h"
#include "gui/app/port_dialog.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/shown_note.h"
#include "gui/memory/memory_host.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

// A layout check of what a user would see as cut, overlapping or touching:
// among the visible controls of a panel, no text is wider than its control,
// no two controls overlap unless one is a frame around the other, and the
// drawn text keeps a margin to every other control and to the line of any
// frame around it. Cheap enough to run on every render, so that a later
// text change that cuts or crowds a label fails a test.

// Pixels of white space a text keeps to the controls around it.
constexpr int kTextMargin = 2;

std::string describe(const QWidget* w) {
  std::string s = w->metaObject()->className() + (" " + w->objectName().toStdString());
  if (auto* l = qobject_cast<const QLabel*>(w)) s += " \"" + l->text().toStdString() + "\"";
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) s += " \"" + b->text().toStdString() + "\"";
  return s;
}

// A box frame drawn around other controls (a group box).
bool isFrame(const QWidget* w) {
  auto* f = qobject_cast<const QFrame*>(w);
  return f != nullptr && f->metaObject() == &QFrame::staticMetaObject && f->frameShape() == QFrame::Box;
}

// Where the control's text is drawn, in its parent's coordinates; null
// for a control without text.
QRect drawnText(const QWidget* w) {
  if (auto* l = qobject_cast<const QLabel*>(w)) {
    if (l->text().isEmpty() || l->textFormat() == Qt::RichText) return {};
    int flags = static_cast<int>(QStyle::visualAlignment(l->layoutDirection(), l->alignment()));
    if (l->wordWrap()) flags |= Qt::TextWordWrap;
    const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    return l->fontMetrics().boundingRect(room, flags, l->text()).translated(w->pos());
  }
  auto* b = qobject_cast<const QAbstractButton*>(w);
  if (b == nullptr || b->text().isEmpty() || qobject_cast<const QPushButton*>(w) != nullptr) return {};
  QStyleOptionButton o;
  o.initFrom(b);
  const bool radio = qobject_cast<const QRadioButton*>(w) != nullptr;
  const QRect contents =
      b->style()->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &o, b);
  return b->fontMetrics().boundingRect(contents, Qt::AlignLeft | Qt::AlignVCenter, b->text()).translated(w->pos());
}

// The room a control's text needs beyond the text itself.
void expectTextFits(const QWidget* w, const std::string& name) {
  if (auto* b = qobject_cast<const QPushButton*>(w)) {
    EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << name << ": cut: " << describe(w);
  } else if (auto* e = qobject_cast<const QLineEdit*>(w)) {
    EXPECT_LE(e->fontMetrics().horizontalAdvance(e->text()) + 6, e->width()) << name << ": cut: " << describe(w)
                                                                           << " \"" << e->text().toStdString() << "\"";
  } else if (auto* c = qobject_cast<const QComboBox*>(w)) {
    EXPECT_LE(c->sizeHint().width(), c->width()) << name << ": cut: list " << c->currentText().toStdString();
  } else if (auto* choice = qobject_cast<const QAbstractButton*>(w)) {
    if (!choice->text().isEmpty()) {
      EXPECT_LE(choice->sizeHint().width(), choice->width()) << name << ": cut: " << describe(w);
    }
  } else if (auto* l = qobject_cast<const QLabel*>(w)) {
    if (l->wordWrap() || l->text().isEmpty() || l->textFormat() == Qt::RichText) return;
    EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()) + 2 * l->margin(), l->contentsRect().width())
        << name << ": cut: " << describe(w);
  }
  const QRect text = drawnText(w);
  if (text.isNull()) return;
  EXPECT_TRUE(w->geometry().contains(text)) << name << ": text outside its control: " << describe(w);
}

// The visible controls directly inside `panel`, checked against each other.
void expectCleanLayout(QWidget* panel, const std::string& name, const std::vector<QWidget*>& skip = {}) {
  std::vector<QWidget*> controls;
  for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w->isVisibleTo(panel) && !w->isWindow() && std::find(skip.begin(), skip.end(), w) == skip.end())
      controls.push_back(w);
  for (QWidget* a : controls) {
    expectTextFits(a, name);
    const QRect text = drawnText(a);
    for (QWidget* b : controls) {
      if (a == b) continue;
      const QRect ra = a->geometry(), rb = b->geometry();
      if (isFrame(b) && rb.contains(ra)) {
        // Inside a frame: the text stays off its line.
        if (!text.isNull()) {
          const int line = static_cast<QFrame*>(b)->frameWidth() + kTextMargin;
          const QRect inside = rb.adjusted(line, line, -line, -line);
          EXPECT_TRUE(inside.contains(text)) << name << ": on the frame line: " << describe(a) << " in "
                                             << describe(b);
        }
        continue;
      }
      if (isFrame(a) && ra.contains(rb)) continue;
      if (a < b) {
        EXPECT_FALSE(ra.intersects(rb)) << name << ": overlap: " << describe(a) << " and " << describe(b);
      }
      if (!text.isNull()) {
        EXPECT_FALSE(text.adjusted(-kTextMargin, -kTextMargin, kTextMargin, kTextMargin).intersects(rb))
            << name << ": touching: the text of " << describe(a) << " and " << describe(b);
      }
    }
  }
}

struct Language { int selector; const char* name; };
constexpr Language kLanguages[] = {
    {view_id::kEnglish, "en"}, {view_id::kFrancais, "fr"}, {view_id::kDeutsch, "de"}, {view_id::kItaliano, "it"}};

struct Shot { int nav; const char* name; };
constexpr Shot kPages[] = {
    {view_id::kHome, "home"}, {view_id::kTools, "tools"}, {view_id::kLive, "live"}, {view_id::kGraph, "graph"},
    {view_id::kControl, "control"}, {view_id::kAlarm, "alarm"}, {view_id::kUout, "uout"}, {view_id::kIout, "iout"},
    {view_id::kAuxin, "auxin"}, {view_id::kPid, "pid"}, {view_id::kCalibration, "calibration"},
    {view_id::kAfterSales, "after-sales"}};

class LayoutRenders : public MemoryTest {
 protected:
  CPage* shownPage() {
    for (CPage* p : view().pages())
      if (p->isVisible() && p != g_pLogoMakerPage && p != g_pLogoBrandPage && p != g_pLogoSoftwarePage) return p;
    return nullptr;
  }
  // Shows each page offered in this mode and checks it; PNGs of those
  // `png` accepts.
  void checkPages(const std::string& suffix, const std::function<bool(const Shot&)>& png) {
    for (const Shot& s : kPages) {
      if (!viewControl(s.nav)->isVisible()) continue;  // not offered in this mode
      click(&view(), s.nav);
      waitIdle();
      settle();
      const std::string name = std::string(s.name) + suffix;
      CPage* page = shownPage();
      ASSERT_NE(page, nullptr) << name;
      if (png(s)) savePng(&view(), "vrx4-layout-" + name + ".png");
      expectCleanLayout(page, name);
      // The note over values shown as last read, in each of its texts.
      if (auto* note = static_cast<CShownNote*>(page->findChild<QWidget*>(QString::number(common_id::kShownNote),
                                                                          Qt::FindDirectChildrenOnly))) {
        for (Shown shown : {Shown::LastRead, Shown::Unconfirmed}) {
          note->showFor(shown);
          expectCleanLayout(page, name + " (values last read)");
        }
        note->showFor(Shown::Current);
      }
      expectCleanLayout(&view(), name + " (window)",
                        {viewControl(view_id::kDecoUp), viewControl(view_id::kDecoDown)});
      // Modify mode: white fields, other buttons (on the rendered pages).
      if (auto* edit = dynamic_cast<CEditPage*>(page); edit != nullptr && png(s)) {
        edit->OnModify();
        settle();
        ASSERT_EQ(edit->m_editing, 1) << name;
        expectCleanLayout(page, name + " (Modify)");
        edit->OnCancelEdit();
      }
      if (s.nav == view_id::kAfterSales) {
        click(g_pAfterSalesPage, after_sales_id::kOptionModify);
        expectCleanLayout(page, name + " (Modify)");
        g_pAfterSalesPage->RefreshAsLoaded();
      }
      if (s.nav == view_id::kTools) {
        click(g_pToolsPage, tools_id::kInformation);
        if (png(s)) savePng(&view(), "vrx4-layout-info" + suffix + ".png");
        expectCleanLayout(g_pInfoPage, "info " + name);
        g_pInfoPage->hide();
      }
    }
  }
  void renderAll(std::uint32_t mode) {
    const std::string m = "-m" + std::to_string(mode);
    for (const Language& l : kLanguages) {
      viewControl<CColourLabel>(l.selector)->clicked();
      checkPages(m + "-" + l.name, [](const Shot&) { return true; });
      if (mode != 4 || (l.selector != view_id::kDeutsch && l.selector != view_id::kFrancais)) continue;
      // The units' texts and the values' widths change with the unit.
      for (auto [unit, unitName] : {std::pair{view_id::kPsi, "psi"}, {view_id::kKpa, "kpa"}, {view_id::kMpa, "mpa"}}) {
        viewControl<CColourLabel>(unit)->clicked();
        checkPages(m + "-" + l.name + "-" + unitName, [&](const Shot& s) { return s.nav == view_id::kAlarm; });
      }
      viewControl<CColourLabel>(view_id::kBar)->clicked();
    }
    viewControl<CColourLabel>(view_id::kEnglish)->clicked();
  }
};

TEST_F(LayoutRenders, EveryPageInFourLanguagesInModesTwoAndFour) {
  startOnSimulator(1);
  checkPages("-m1-en", [](const Shot& s) { return s.nav == view_id::kTools; });
  enterMode(2);
  renderAll(2);
  enterMode(4);
  renderAll(4);
  // Every caption of the pages is the language's text, none the template's.
  viewControl<CColourLabel>(view_id::kDeutsch)->clicked();
  EXPECT_EQ(control<QLabel>(show(view_id::kAuxin), 1190)->text().toStdString(), "AKTUELLE EINGÄNGE");
  EXPECT_EQ(control<QLabel>(show(view_id::kAlarm), 1217)->text().toStdString(), "Verzögerung EIN");

  // The port dialog: a list of long port names may show them elided.
  CPortDialog dialog(g_pToolsPage, [] {
    return std::vector<SerialPortEntry>{{"COM1", "/dev/ttyS0", "Serial port 16550A"},
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A9X1-if00-port0", "/dev/ttyUSB0", "FTDI FT232R USB UART"}};
  });
  dialog.setTexts(QStringLiteral("Port COMx selection"), QStringLiteral("OK"), QStringLiteral("Cancel"));
  dialog.m_port = "/dev/ttyUSB0";
  dialog.show();
  savePng(&dialog, "vrx4-port-dialog.png");  // settles first
  expectCleanLayout(&dialog, "port dialog", {dialog.findChild<QComboBox*>()});
  close();
}

TEST_F(LayoutRenders, FileDialogShowsNameSizeTypeAndDate) {
  for (const char* name : {"press-line-3-station-12-vrx4.txt", "b.txt"})
    writeFile(m_dir + "/" + name, "00000 00\n");
  // The dialog of New, Open, Save as..., Import and Export, shown in the
  // test folder.
  bool looked = false;
  onNextModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    if (dialog == nullptr) return;
    dialog->setDirectory(QString::fromStdString(m_dir));
    auto* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    if (files != nullptr && files->isVisible()) {
      waitUntil([&] { return files->model()->rowCount(files->rootIndex()) >= 2; }, 3000);
      settle();
      savePng(dialog, "vrx4-layout-file-dialog.png");
      looked = true;
      // Every column whole inside the list; the name, size, type and date
      // of every file and the column titles whole in theirs (the list
      // draws a text in its column less a margin on each side).
      const int margins = 2 * (files->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, files) + 1);
      auto* places = dialog->findChild<QListView*>(QStringLiteral("sidebar"));
      EXPECT_NE(places, nullptr);
      for (int row = 0; places != nullptr && row < places->model()->rowCount(); ++row) {
        const QString place = places->model()->index(row, 0).data().toString();
        EXPECT_GE(places->viewport()->width(),
                  places->fontMetrics().horizontalAdvance(place) + places->iconSize().width() + 2 * margins)
            << place.toStdString();
      }
      QHeaderView* header = files->header();
      const QAbstractItemModel* model = files->model();
      for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c)) continue;
        EXPECT_LE(header->sectionViewportPosition(c) + header->sectionSize(c), files->viewport()->width())
            << "column " << c;
        EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c)) << "column " << c;
        for (int row = 0; row < model->rowCount(files->rootIndex()); ++row) {
          const QModelIndex cell = model->index(row, c, files->rootIndex());
          // The name after its icon.
          const int icon = c == 0 ? files->iconSize().width() + margins : 0;
          EXPECT_GE(header->sectionSize(c), files->fontMetrics().horizontalAdvance(cell.data().toString()) + margins + icon)
              << "column " << c << ": " << cell.data().toString().toStdString();
        }
      }
    }
    dialog->reject();
  });
  // A desktop whose font is larger than Qt's default widths allow for.
  const QFont font = QApplication::font();
  QFont larger = font;
  larger.setPointSizeF(font.pointSizeF() * 1.3);
  QApplication::setFont(larger);
  EXPECT_TRUE(chooseConfigFile(nullptr, FileDialogKind::Open, QStringLiteral("Open")).isEmpty());
  QApplication::setFont(font);
  EXPECT_TRUE(looked) << "the file list in detail";
}

}  // namespace
}  // namespace vrx4::testing
