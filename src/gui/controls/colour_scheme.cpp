#include "gui/controls/colour_scheme.h"

#include <QFont>
#include <QPalette>
#include <QWidget>

#include "gui/controls/font_height.h"

namespace vrx4 {

QColor toQColor(ColourWord c) { return {colour::red(c), colour::green(c), colour::blue(c)}; }

namespace {
ColourWord fromQColor(const QColor& c) { return colour::rgb(c.red(), c.green(), c.blue()); }
}  // namespace

ColourWord systemColour(const QPalette& p, int n) {
  switch (n) {
    case colour::kSysWindow: return fromQColor(p.color(QPalette::Base));
    case colour::kSysWindowFrame: return fromQColor(p.color(QPalette::WindowText));
    case colour::kSysWindowText: return fromQColor(p.color(QPalette::Text));
    case colour::kSysButtonFace: return fromQColor(p.color(QPalette::Button));
    case colour::kSysButtonShadow: return fromQColor(p.color(QPalette::Dark));
    case colour::kSysButtonText: return fromQColor(p.color(QPalette::ButtonText));
    case colour::kSysHighlight3D: return fromQColor(p.color(QPalette::Light));
    case colour::kSysDarkShadow3D: return fromQColor(p.color(QPalette::Shadow));
    case 13: return fromQColor(p.color(QPalette::Highlight));
    case 14: return fromQColor(p.color(QPalette::HighlightedText));
    case 17: return fromQColor(p.color(QPalette::Disabled, QPalette::Text));
    default: return fromQColor(p.color(QPalette::Window));
  }
}

ResolvedColours ColourScheme::query(const QWidget* w, ControlKind kind) const {
  // System colours come from the application's palette, not from the
  // colours set on this widget.
  (void)w;
  const QPalette plain;
  return resolveColours(currentText(), currentBack(), kind, m_opaqueText,
                        [&](int n) { return systemColour(plain, n); });
}

void ColourScheme::applyColours(QWidget* w, ControlKind kind) const {
  const ResolvedColours r = query(w, kind);
  QPalette p;  // the application's palette
  if (!r.systemLook) {
    const QColor text = toQColor(r.text);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      p.setColor(QPalette::Active, role, text);
      p.setColor(QPalette::Inactive, role, text);
    }
    if (r.back) {
      const QColor back = toQColor(*r.back);
      for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) p.setColor(role, back);
    }
  }
  w->setPalette(p);
  w->setAutoFillBackground(!r.systemLook && r.back.has_value() && kind == ControlKind::Static);
  w->update();
}

void ColourScheme::deriveFont(QWidget* w) const {
  if (m_styleOn == 0 && m_styleOff == 0 && m_fontHeight == 0) return;
  QFont f = w->font();
  if (m_styleOn & 1) f.setWeight(QFont::Bold);
  if (m_styleOn & 2) f.setItalic(true);
  if (m_styleOn & 4) f.setUnderline(true);
  if (m_styleOn & 8) f.setStrikeOut(true);
  if (m_styleOff & 1) f.setWeight(QFont::Normal);
  if (m_styleOff & 2) f.setItalic(false);
  if (m_styleOff & 4) f.setUnderline(false);
  if (m_styleOff & 8) f.setStrikeOut(false);
  w->setFont(fontWithHeight(f, m_fontHeight));
}

void ColourScheme::startBlinkTimer(QObject* owner) {
  if ((m_blinkTextOn || m_blinkBackOn) && m_timer == 0) m_timer = owner->startTimer(m_blinkPeriod);
}

bool ColourScheme::onTimer(QWidget* w, ControlKind kind, int timerId) {
  if (timerId != m_timer || m_timer == 0) return false;
  if (m_blinkTextOn || m_blinkBackOn) {
    m_blinkPhase ^= 1;
    applyColours(w, kind);
  }
  return true;
}

}  // namespace vrx4
