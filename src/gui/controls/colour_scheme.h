// What every colour control shares: its colour words, the blink state and
// the font derivation, and how they become a Qt palette. The controls
// inherit this next to their Qt widget class.
#pragma once

#include <QColor>
#include <cstdint>

#include "core/base/colour_word.h"

class QObject;
class QPalette;
class QWidget;

namespace vrx4 {

QColor toQColor(ColourWord rgb);
// System colour n as a palette shows it.
ColourWord systemColour(const QPalette& palette, int n);

struct ColourScheme {
  ColourWord m_textColour = colour::kDefault;
  ColourWord m_backColour = colour::kDefault;
  ColourWord m_blinkText[2] = {colour::kDefault, colour::kDefault};
  ColourWord m_blinkBack[2] = {colour::kDefault, colour::kDefault};
  bool m_blinkTextOn = false;
  bool m_blinkBackOn = false;
  int m_blinkPeriod = 1000;
  int m_blinkPhase = 0;
  int m_timer = 0;
  bool m_nearestColours = false;  // kept for completeness: Qt draws true colour
  bool m_opaqueText = false;
  // Font derivation: bit 0 bold, 1 italic, 2 underline, 3 strike-out.
  std::uint32_t m_styleOn = 0;
  std::uint32_t m_styleOff = 0;
  // Logical height as fontWithHeight takes it (positive: cell height,
  // negative: character height); 0 keeps the base font's height.
  int m_fontHeight = 0;

  ColourWord currentText() const { return m_blinkTextOn ? m_blinkText[m_blinkPhase] : m_textColour; }
  ColourWord currentBack() const { return m_blinkBackOn ? m_blinkBack[m_blinkPhase] : m_backColour; }
  ResolvedColours query(const QWidget* w, ControlKind kind) const;

  // Puts the current colours into the widget's palette (the plain palette
  // when both are default) and repaints it at once.
  void applyColours(QWidget* w, ControlKind kind) const;
  // Derives the font from the style masks and the height, when set.
  void deriveFont(QWidget* w) const;
  // Starts the blink timer when something blinks and no timer runs yet.
  void startBlinkTimer(QObject* owner);
  // The blink timer: toggles the phase; false for another timer id.
  bool onTimer(QWidget* w, ControlKind kind, int timerId);
};

}  // namespace vrx4
