// A program instance for widget tests: its own settings file in a fresh
// folder, the data files of the build tree, message boxes recorded instead
// of shown, and helpers to find controls by id and to wait on the event
// loop.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "app/mode_page.h"
#include "app/vrx4_app.h"
#include "app/vrx4_view.h"
#include "controls/control_id.h"
#include "pages/page_registry.h"

namespace vrx4::testing {

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Runs the event loop until pred holds or ms pass.
inline bool waitUntil(const std::function<bool()>& pred, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

inline void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// Does something with the next modal dialog once it is shown.
inline void onNextModal(std::function<void(QWidget*)> f) {
  // Gives up after two seconds, so that a dialog that never came cannot
  // be answered by a later test step.
  auto poll = std::make_shared<std::function<void()>>();
  auto tries = std::make_shared<int>(0);
  *poll = [f, poll, tries] {
    if (QWidget* w = QApplication::activeModalWidget()) f(w);
    else if (++*tries < 200) QTimer::singleShot(10, *poll);
  };
  QTimer::singleShot(0, *poll);
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vrx4-gui-XXXXXX";
    m_dir = mkdtemp(pattern);
    m_settings = m_dir + "/VRX4.ini";
    setMessageBoxRecorder([this](const QString& text, const QString&) { m_boxes.push_back(text.toStdString()); });
  }
  void TearDown() override {
    m_app.reset();
    setMessageBoxRecorder({});
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }

  // Starts the program on a port (default: one that does not exist).
  void start(std::string port = "/nonexistent/vrx4-tty") {
    AppOptions o;
    o.port = std::move(port);
    m_app = std::make_unique<CVRX4App>(VRX4_DATA_BUILD_DIR, m_settings, o);
    ASSERT_TRUE(m_app->InitInstance());
    settle();
  }
  // Starts the program on the built-in simulated regulator.
  void startSimulated() {
    AppOptions o;
    o.simulate = true;
    m_app = std::make_unique<CVRX4App>(VRX4_DATA_BUILD_DIR, m_settings, o);
    ASSERT_TRUE(m_app->InitInstance());
    settle();
  }
  void close() {
    m_app->mainFrame()->close();
    settle();
  }

  CVRX4View& view() { return *m_app->mainFrame()->view(); }
  DeviceState& state() { return m_app->state(); }
  template <class T = QWidget>
  T* control(QWidget* root, int id) {
    return root->findChild<T*>(QString::number(id));
  }
  template <class T = QWidget>
  T* viewControl(int id) {
    return control<T>(&view(), id);
  }
  void click(QWidget* root, int id) {
    auto* b = control<QAbstractButton>(root, id);
    ASSERT_NE(b, nullptr) << id;
    b->click();
    settle();
  }
  std::string settingsText() { return readFile(m_settings); }
  // Presses a mode button and answers the password dialog with code (or
  // cancels it when code is null).
  void enterCode(int button, const char* code) {
    onNextModal([code](QWidget* w) {
      if (code == nullptr) {
        w->findChild<QPushButton*>(QString::number(common_id::kCancel))->click();
        return;
      }
      w->findChild<QLineEdit*>(QString::number(password_id::kEdit))->setText(QString::fromLatin1(code));
      w->findChild<QPushButton*>(QString::number(common_id::kOk))->click();
    });
    click(g_pModePage, button);
  }

  std::string m_dir;
  std::string m_settings;
  std::vector<std::string> m_boxes;
  std::unique_ptr<CVRX4App> m_app;
};

}  // namespace vrx4::testing
