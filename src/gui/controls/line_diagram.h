// The characteristic line of an analogue channel on a fixed 5 x 5 grid:
// white grid and axes on the panel colour, green numbers and caption on
// the y axis, orange on the x axis, the title and the line in the
// channel's colour. Drawing only; the control takes no input.
//
// Coordinates are the client area's (inside the one-pixel border): the
// plot runs from (30, 40) to (230, 240), 20 pixels per scaled unit, and a
// line end beyond it is drawn beyond it, clipped by the window.
#pragma once

#include <QLine>
#include <QString>
#include <QWidget>

#include "core/base/colour_word.h"

namespace vrx4 {

class CLineDiagram : public QWidget {
 public:
  explicit CLineDiagram(QWidget* parent = nullptr);

  // Scales (units per half division), captions, title and colour; the
  // line is cleared, the window placed at `rect` (border included) under
  // `parent` with control id `id`, and shown.
  void Create(float yScale, float xScale, const QString& xCaption, const QString& yCaption, const QString& title,
              ColourWord colour, const QRect& rect, QWidget* parent, int id);

  // New scales for the axes (units per half division); the next SetLine
  // draws with them.
  void SetScales(float yScale, float xScale);

  // The line from (x1, y1) to (x2, y2) in channel units, with the two
  // captions; repaints at once.
  void SetLine(double x1, double x2, double y1, double y2, const QString& xCaption, const QString& yCaption);

  // What is drawn, in client pixels.
  QLine linePixels() const { return {m_x1, m_y1, m_x2, m_y2}; }
  const QString& xCaption() const { return m_xCaption; }
  const QString& yCaption() const { return m_yCaption; }
  const QString& title() const { return m_title; }
  float yScale() const { return m_yScale; }
  float xScale() const { return m_xScale; }
  // The client area (inside the border) in widget coordinates.
  QRect clientRect() const { return rect().adjusted(1, 1, -1, -1); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ColourWord m_colour = colour::kBlack;
  QString m_xCaption;
  QString m_yCaption;
  QString m_title;
  int m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;
  int m_nXDivisions = 5;
  int m_nYDivisions = 5;
  float m_yScale = 1.0f;
  float m_xScale = 1.0f;
};

}  // namespace vrx4
