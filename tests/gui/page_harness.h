// The program on the built-in simulated regulator in a setting mode, with
// helpers for the six parameter pages: show a page, read and type its
// fields by control id, press its buttons, look at the bytes on the line.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "../link/memory_frames.h"
#include "gui/pages/alarm_page.h"
#include "gui/pages/auxin_page.h"
#include "gui/pages/ctrl_page.h"
#include "gui/pages/iout_page.h"
#include "gui/pages/pid_page.h"
#include "gui/pages/uout_page.h"
#include "shell_harness.h"

namespace vrx4::testing {

// A memory write the host sent: address, area, data.
struct WriteFrame {
  std::uint8_t address;
  bool base;
  std::vector<std::uint8_t> data;
};

inline std::vector<WriteFrame> writeFrames(const std::vector<std::uint8_t>& rx) {
  std::vector<WriteFrame> out;
  for (const auto& f : memoryFrames(rx))
    if (!isReadFrame(f)) out.push_back({f[1], (f[2] & 0x40) != 0, {f.begin() + 3, f.end() - 2}});
  return out;
}

// The writes after the byte-0 step of ops 16 and 18. That step reads the
// byte back first and writes it only when the device holds another value,
// so a write of `value` to byte 0 may lead the list; it is taken off.
inline std::vector<WriteFrame> blocksAfterByteZero(std::vector<WriteFrame> writes, std::uint8_t value) {
  if (!writes.empty() && writes.front().address == 0) {
    EXPECT_EQ(writes.front().data, std::vector<std::uint8_t>{value});
    writes.erase(writes.begin());
  }
  return writes;
}

// Every visible label and button of a page has room for its text; so has
// every radio and list, unless `lists` is false (a list of long port
// names may show them elided).
inline void expectTextsFit(QWidget* page, const std::string& name, bool lists = true) {
  for (QLabel* l : page->findChildren<QLabel*>()) {
    if (!l->isVisibleTo(page) || l->wordWrap()) continue;
    EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width())
        << name << ": label " << l->objectName().toStdString() << " \"" << l->text().toStdString() << "\"";
  }
  for (QRadioButton* r : page->findChildren<QRadioButton*>()) {
    if (!lists || !r->isVisibleTo(page)) continue;
    EXPECT_LE(r->sizeHint().width(), r->width()) << name << ": radio " << r->text().toStdString();
  }
  for (QComboBox* c : page->findChildren<QComboBox*>()) {
    if (!lists || !c->isVisibleTo(page)) continue;
    EXPECT_LE(c->sizeHint().width(), c->width()) << name << ": list " << c->currentText().toStdString();
  }
  for (QPushButton* b : page->findChildren<QPushButton*>()) {
    if (!b->isVisibleTo(page)) continue;
    EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << name << ": button " << b->text().toStdString();
  }
}

class PagesTest : public ShellTest {
 protected:
  // The program on the simulated regulator, terms accepted, both images
  // read, in access mode `mode` (1 VISUALISATION, 2 SETTING, 4 SETTING PRO
  // with the service pages).
  void startIn(std::uint32_t mode, const std::string& settings = "") {
    writeFile(m_settings, "[Agreement]\nState=1\n" + settings);
    startSimulated();
    ASSERT_TRUE(waitUntil([&] { return state().g_eepromLoaded.load() == 1 && !state().requestPending(); }, 20000));
    enterMode(mode);
    activate();
  }
  // The main window active, so that fields take the keyboard focus.
  void activate() {
    m_app->mainFrame()->activateWindow();
    waitUntil([&] { return m_app->mainFrame()->isActiveWindow(); }, 2000);
  }
  void enterMode(std::uint32_t mode) {
    click(&view(), view_id::kHome);
    if (mode == 1) click(g_pModePage, mode_id::kVisualisation);
    if (mode == 2) enterCode(mode_id::kSetting, "vesko");
    if (mode == 4) enterCode(mode_id::kSettingPro, "kafter");
    ASSERT_EQ(state().g_accessMode.load(), mode);
  }
  std::vector<WriteFrame> writesOnTheLine() {
    std::vector<std::uint8_t> rx;
    withDevice([&](sim::SimDevice& d) { rx = d.received(); });
    return writeFrames(rx);
  }
  void clearLine() {
    withDevice([](sim::SimDevice& d) { d.clearReceived(); });
  }

  // The page a navigation button shows, shown.
  CEditPage* show(int navButton) {
    click(&view(), navButton);
    return dynamic_cast<CEditPage*>(currentPage(navButton));
  }
  static CPage* currentPage(int navButton) {
    switch (navButton) {
      case view_id::kControl: return g_pCtrlPage;
      case view_id::kAuxin: return g_pAuxinPage;
      case view_id::kUout: return g_pUoutPage;
      case view_id::kIout: return g_pIoutPage;
      case view_id::kAlarm: return g_pAlarmPage;
      case view_id::kPid: return g_pPidPage;
      default: return nullptr;
    }
  }
  QLineEdit* edit(CPage* page, int id) { return control<QLineEdit>(page, id); }
  QString text(CPage* page, int id) { return edit(page, id)->text(); }
  void type(CPage* page, int id, const char* text) {
    QLineEdit* e = edit(page, id);
    e->setFocus();
    e->selectAll();
    e->del();
    // Key by key, as typed: the edit's validator sees each character.
    for (QChar c : QString::fromUtf8(text)) e->insert(QString(c));
    settle();
  }
  QPushButton* button(CPage* page, int id) { return control<QPushButton>(page, id); }
  bool shown(CPage* page, int id) { return control(page, id)->isVisibleTo(page); }
  // Waits for the end of a transfer the page asked for and the view's
  // refresh after it.
  bool waitForWrite(CEditPage* page, int modifyId) {
    return waitUntil([&] { return !state().requestPending() && button(page, modifyId)->isEnabled(); }, 20000);
  }
};

}  // namespace vrx4::testing
