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
#include <functional>
#include <memory>
#include <vector>

#include "../test_files.h"
#include "core/base/control_ids.h"
#include "gui/app/main_frame.h"
#include "gui/app/message_box.h"
#include "gui/app/mode_page.h"
#include "core/sim/simulated_regulator.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"
#include "gui/controls/control_id.h"
#include "gui/pages/page_registry.h"
#include "core/sim/sim_device.h"

namespace vrx4::testing {

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

inline void settle() { for (int i = 0; i < 5; ++i) QApplication::processEvents(); }

#ifdef VRX4_TEST_OUTPUT_DIR
// Renders a widget to a PNG file in the build folder, for a look.
inline void savePng(QWidget* w, const std::string& name) {
  settle();
  const QString path = QStringLiteral(VRX4_TEST_OUTPUT_DIR "/") + QString::fromStdString(name);
  EXPECT_TRUE(w->grab().save(path)) << path.toStdString();
}
#endif

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
    setMessageBoxRecorder([this](const QString& text, const QString&) { m_boxes.push_back(text.toStdString()); });
  }
  void TearDown() override { m_app.reset(), setMessageBoxRecorder({}); }

  // Starts the program on a port (default: one that does not exist), with
  // the data files of `data` (default: the build tree's).
  void start(std::string port = "/nonexistent/vrx4-tty", const std::string& data = VRX4_DATA_BUILD_DIR) {
    AppOptions o;
    o.port = std::move(port);
    launch(o, data);
  }
  // Starts the program with the terms accepted and COM1 stored (the port
  // it runs on is still start()'s), plus `extra` settings.
  void startAccepted(const std::string& extra = "") {
    writeFile(m_settings, "[Communication]\nport=COM1\n[Agreement]\nState=1\n" + extra);
    start();
  }
  // Starts the program on the built-in simulated regulator.
  void startSimulated() {
    AppOptions o;
    o.simulate = true;
    launch(o, VRX4_DATA_BUILD_DIR);
  }
  void launch(const AppOptions& o, const std::string& data) {
    m_app = std::make_unique<CVRX4App>(data, m_settings, o);
    ASSERT_TRUE(m_app->InitInstance());
    settle();
  }
  void close() { m_app->mainFrame()->close(), settle(); }

  CVRX4View& view() { return *m_app->mainFrame()->view(); }
  DeviceState& state() { return m_app->state(); }
  // The built-in simulated regulator (after startSimulated).
  void withDevice(const std::function<void(sim::SimDevice&)>& f) { m_app->simulatedRegulator()->withDevice(f); }
  Image deviceImage(Area a) {
    Image im{};
    withDevice([&](sim::SimDevice& d) { im = d.image(a); });
    return im;
  }
  template <class T = QWidget>
  T* control(QWidget* root, int id) { return root->findChild<T*>(QString::number(id)); }
  template <class T = QWidget>
  T* viewControl(int id) { return control<T>(&view(), id); }
  void click(QWidget* root, int id) {
    auto* b = control<QAbstractButton>(root, id);
    ASSERT_NE(b, nullptr) << id;
    b->click();
    settle();
  }
  std::string settingsText() { return readFile(m_settings); }
  std::string kept(Kept k) { return m_app->keptText(k); }
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

  TempDir m_temp;
  std::string m_dir = m_temp.path;
  std::string m_settings = m_dir + "/VRX4.ini";
  std::vector<std::string> m_boxes;
  std::unique_ptr<CVRX4App> m_app;
};

}  // namespace vrx4::testing
