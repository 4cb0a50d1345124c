// The program on the built-in simulated regulator in a setting mode, with
// helpers for the six parameter pages: show a page, read and type its
// fields by control id, press its buttons, look at the bytes on the line.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

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
struct WriteFrame { std::uint8_t address; bool base; std::vector<std::uint8_t> data; };

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
    std::vector<WriteFrame> out;
    for (const auto& f : memoryFrames(rx))
      if (!isReadFrame(f)) out.push_back({f[1], (f[2] & 0x40) != 0, {f.begin() + 3, f.end() - 2}});
    return out;
  }
  void clearLine() { withDevice([](sim::SimDevice& d) { d.clearReceived(); }); }

  // The page a navigation button shows, shown: the one parameter page
  // that is visible after the click.
  CEditPage* show(int navButton) {
    click(&view(), navButton);
    for (CPage* p : view().pages())
      if (auto* e = dynamic_cast<CEditPage*>(p); e != nullptr && !e->isHidden()) return e;
    return nullptr;
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
