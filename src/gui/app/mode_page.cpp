#include "gui/app/mode_page.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include "core/base/access_modes.h"
#include "core/base/control_ids.h"
#include "gui/app/main_frame.h"
#include "gui/app/message_box.h"
#include "gui/app/password_dialog.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"
#include "gui/controls/colour_button.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/control_id.h"
#include "gui/memory/tools_page.h"
#include "gui/monitoring/live_page.h"
#include "gui/pages/page_registry.h"

namespace vrx4 {
namespace {

QString text(const CVRX4App& app, Kept k) { return QString::fromStdString(app.keptText(k)); }

}  // namespace

CModePage::CModePage(CVRX4App& app, CVRX4View& view)
    : CPage(dialog::kMode, &view), m_app(app), m_view(view) {
  auto* frame = new QFrame(this);
  setControlId(frame, mode_id::kFrame);
  frame->setFrameShape(QFrame::Box);
  frame->setGeometry(220, 80, 360, 300);

  auto* heading = new CColourLabel(QStringLiteral("Select your mode..."), this);
  setControlId(heading, mode_id::kHeading);
  heading->setAlignment(Qt::AlignCenter);
  QFont font = heading->font();
  font.setBold(true);
  font.setPixelSize(18);
  heading->setFont(font);
  heading->setGeometry(200, 30, 400, 36);

  struct Button {
    int id;
    const char* label;
    int y;
    void (CModePage::*handler)();
  };
  const Button buttons[] = {{mode_id::kVisualisation, "VISUALISATION", 105, &CModePage::OnVisualisation},
                            {mode_id::kSetting, "SETTING", 195, &CModePage::OnSetting},
                            {mode_id::kSettingPro, "SETTING PRO", 285, &CModePage::OnSettingPro}};
  for (const Button& b : buttons) {
    auto* button = new CColourButton(QString::fromLatin1(b.label), this);
    setControlId(button, b.id);
    button->setBackColour(colour::kNavButton);
    button->setGeometry(250, b.y, 300, 60);
    connect(button, &QPushButton::clicked, this, [this, h = b.handler] { (this->*h)(); });
  }

  auto* passwordLabel = new QLabel(QStringLiteral("Enter your password:"), this);
  setControlId(passwordLabel, mode_id::kPasswordLabel);
  passwordLabel->setGeometry(250, 395, 300, 20);
  passwordLabel->hide();
  m_passwordEdit = new QLineEdit(this);
  setControlId(m_passwordEdit, mode_id::kPasswordEdit);
  m_passwordEdit->setEchoMode(QLineEdit::Password);
  m_passwordEdit->setGeometry(250, 418, 300, 24);
  m_passwordEdit->hide();

  auto* exit = new CColourButton(QStringLiteral("EXIT"), this);
  setControlId(exit, common_id::kAppExit);
  exit->setGeometry(640, 450, 130, 36);
  connect(exit, &QPushButton::clicked, this, [this] {
    if (CMainFrame* f = m_app.mainFrame()) f->close();
  });
}

std::optional<std::string> CModePage::askCode() {
  CPasswordDialog dialog(this, text(m_app, Kept::PasswordCaption), text(m_app, Kept::PasswordPrompt),
                         text(m_app, Kept::Ok), text(m_app, Kept::Cancel));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.enteredCode();
}

void CModePage::wrongPassword() {
  messageBox(this, text(m_app, Kept::WrongPassword), QStringLiteral("tarvo"), BoxIcon::Exclamation);
}

void CModePage::enterMode(std::uint32_t mode, bool service) {
  DeviceState& s = m_app.state();
  CLivePage* live = g_pLivePage;
  live->ApplyAccessMode(mode);
  if (service) live->setGeometry(220, 110, 1024, 450);
  live->show();
  live->raise();
  live->ApplyAccessMode(s.g_accessMode.load());
  if (g_pToolsPage != nullptr) g_pToolsPage->ApplyAccessMode(s.g_accessMode.load());
  hide();
  s.g_currentPage.store(2);
}

void CModePage::OnVisualisation() {
  if (g_pLivePage == nullptr) {
    messageBox(this, QStringLiteral("Error Creating Dialog Object"));
  } else {
    m_app.state().g_accessMode.store(access::kVisualisation);
    enterMode(access::kVisualisation, false);
    g_pLivePage->ResetTests();
  }
  finish();
}

void CModePage::OnSetting() {
  DeviceState& s = m_app.state();
  std::optional<std::string> code;
  if (s.g_accessMode.load() == access::kSetting) code = std::string(accessCode(access::kSetting));
  else code = askCode();
  if (code) {
    if (modeForCode(*code) != access::kSetting) {
      wrongPassword();
    } else if (g_pLivePage == nullptr) {
      messageBox(this, QStringLiteral("Error Creating Dialog Object"));
    } else {
      s.g_accessMode.store(access::kSetting);
      enterMode(access::kSetting, false);
    }
  }
  finish();
}

void CModePage::OnSettingPro() {
  DeviceState& s = m_app.state();
  std::optional<std::string> code;
  const std::uint32_t now = s.g_accessMode.load();
  if (now == access::kSettingPro || now == access::kSettingProService) code = std::string(accessCode(now));
  else code = askCode();
  if (code) {
    const auto mode = modeForCode(*code);
    if (mode != access::kSettingPro && mode != access::kSettingProService) {
      wrongPassword();
    } else if (g_pLivePage == nullptr) {
      messageBox(this, QStringLiteral("Error Creating Dialog Object"));
    } else {
      s.g_accessMode.store(*mode);
      enterMode(*mode, *mode == access::kSettingProService);
    }
  }
  finish();
}

void CModePage::finish() {
  m_view.UpdateData();
  m_passwordEdit->clear();
}

}  // namespace vrx4
