// A round coloured light: the main view's link lamp.
#pragma once

#include <QRect>
#include <QWidget>

#include "core/base/colour_word.h"

namespace vrx4 {

// The link lamp's colours: answering, late, silent, no link.
inline constexpr ColourWord kLampGreen = colour::rgb(0, 255, 0);
inline constexpr ColourWord kLampYellow = colour::rgb(255, 255, 0);
inline constexpr ColourWord kLampRed = colour::rgb(255, 0, 0);
inline constexpr ColourWord kLampIdle = colour::kDarkBlue;

class CIndicatorLamp : public QWidget {
 public:
  explicit CIndicatorLamp(QWidget* parent = nullptr) : QWidget(parent) {}

  // The rectangle in the parent (right and bottom exclusive) and the colour.
  void SetPlace(int left, int top, int right, int bottom, ColourWord colour);
  // Places the lamp in its parent under its control id and shows it.
  void Create(QWidget* parent, int id);
  // Stores the colour and repaints at once, even when it is unchanged.
  void SetColour(ColourWord colour);
  ColourWord GetColour() const { return m_colour; }
  int paints() const { return m_paints; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ColourWord m_colour = colour::kRed;
  QRect m_rect;
  int m_paints = 0;
};

}  // namespace vrx4
