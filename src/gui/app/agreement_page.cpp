#include "gui/app/agreement_page.h"

#include <QCoreApplication>
#include <QFile>
#include <QPushButton>
#include <QTextEdit>

#include "core/base/access_modes.h"
#include "core/base/control_ids.h"
#include "gui/app/gui_notifier.h"
#include "gui/app/main_frame.h"
#include "core/base/rtf_reader.h"
#include "gui/app/rtf_text_document.h"
#include "gui/app/vrx4_app.h"
#include "gui/controls/control_id.h"
#include "core/link/link_notifier.h"

namespace vrx4 {

CAgreementPage::CAgreementPage(CVRX4App& app, QWidget* view)
    : CPage(dialog::kAgreement, view, colour::kWhite), m_app(app), m_view(view) {
  m_text = new QTextEdit(this);
  setControlId(m_text, agreement_id::kText);
  m_text->setReadOnly(true);
  m_text->setGeometry(20, 10, 980, 440);
  auto* agree = new QPushButton(QStringLiteral("I Agree"), this);
  setControlId(agree, agreement_id::kAgree);
  agree->setGeometry(300, 462, 160, 34);
  auto* refuse = new QPushButton(QStringLiteral("I disagree"), this);
  setControlId(refuse, common_id::kAppExit);
  refuse->setGeometry(560, 462, 160, 34);
  connect(agree, &QPushButton::clicked, this, [this] { OnAgree(); });
  connect(refuse, &QPushButton::clicked, this, [this] {
    // The exit command: the window closes and saves the settings as usual.
    if (CMainFrame* frame = m_app.mainFrame()) frame->close();
  });
  loadTerms(app.settings().m_nLanguage);
}

void CAgreementPage::loadTerms(std::uint8_t language) {
  m_text->clear();
  if (language > 3) return;
  QFile resource(QStringLiteral(":/RTF_TEXT/%1").arg(resource::kTerms[language]));
  if (!resource.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = resource.readAll();
  const auto paragraphs = parseRtf(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  fillTextDocument(*m_text->document(), paragraphs);
}

void CAgreementPage::OnAgree() {
  m_app.state().g_accessMode.store(access::kVisualisation);
  m_app.settings().m_bAgreementAccepted = true;
  m_app.SaveSettings();
  QCoreApplication::postEvent(m_view, new LinkEvent(msg::kTermsAccepted, 0, 0));
}

}  // namespace vrx4
