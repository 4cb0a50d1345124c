// The tools page and the EEPROM map pages under test: the file dialogs and
// the unsaved-changes question answered by the test, the program started
// with no regulator (file mode) or on the simulated one.
#pragma once

#include <deque>

#include "gui/memory/after_sales_page.h"
#include "gui/memory/calibration_page.h"
#include "gui/memory/info_page.h"
#include "gui/memory/map_edit.h"
#include "gui/memory/tools_page.h"
#include "page_harness.h"

namespace vrx4::testing {

class MemoryTest : public PagesTest {
 protected:
  // No regulator: the port does not exist, so New and Open are offered.
  void startWithoutDevice(std::uint32_t mode) {
    writeFile(m_settings, "[Agreement]\nState=1\n");
    start();
    // The port does not exist: the link says so once, then ends.
    waitUntil([&] { return !m_boxes.empty(); });
    m_boxes.clear();
    enterMode(mode);
    answerDialogs();
    click(&view(), view_id::kTools);
  }
  void startOnSimulator(std::uint32_t mode) {
    startIn(mode);
    answerDialogs();
  }
  // The file dialogs take the next queued path (none: cancelled); the
  // question takes m_answer.
  void answerDialogs() {
    MemoryHost& h = view().memoryHost();
    h.chooseFile = [this](QWidget*, FileDialogKind kind, const QString&) {
      m_dialogs.push_back(kind);
      if (m_files.empty()) return QString();
      const QString path = QString::fromStdString(m_files.front());
      m_files.pop_front();
      return path;
    };
    h.ask = [this](QWidget*, const QString& question, const MemoryHost&) {
      m_questions.push_back(question.toStdString());
      return m_answer;
    };
  }
  void tools(int id, const std::string& file = {}) {
    if (!file.empty()) m_files.push_back(file);
    click(g_pToolsPage, id);
  }
  bool enabled(QWidget* page, int id) { return control(page, id)->isEnabled(); }
  // Waits for the transfer to end and the page's button to work again.
  bool waitEnabled(CPage* page, int id) {
    return waitUntil([&] { return !state().requestPending() && enabled(page, id); }, 30000);
  }
  CMapEdit* mapEdit(CPage* page, int id) { return control<CMapEdit>(page, id); }
  bool waitIdle() { return waitUntil([&] { return !state().requestPending(); }, 20000); }
  std::string path(const char* name) { return m_dir + "/" + name; }

  std::deque<std::string> m_files;
  std::vector<FileDialogKind> m_dialogs;
  std::vector<std::string> m_questions;
  UnsavedAnswer m_answer = UnsavedAnswer::Cancel;
};

}  // namespace vrx4::testing
