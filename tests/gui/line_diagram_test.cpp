// The line diagram as drawn: where the line lands in the client area
// (inside the border), a line beyond the plot, the axis numbers, and the
// captions drawn over the axes on their own background.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include "gui/controls/line_diagram.h"
#include "core/pages/line_diagram_scale.h"

namespace vrx4::testing {
namespace {

class LineDiagram : public ::testing::Test {
 protected:
  void SetUp() override {
    const DiagramSetup iout = diagramSetup(Channel::Iout);
    m_diagram.Create(iout.yScale, iout.xScale, QString(), QString(), QString::fromLatin1(iout.title), iout.colour,
                     QRect(100, 100, 270, 270), &m_parent, iout.id);
  }
  // A client pixel (the window has a one-pixel border).
  QColor at(int x, int y) {
    if (m_image.isNull()) m_image = m_diagram.grab().toImage();
    return m_image.pixelColor(x + 1, y + 1);
  }
  // Pixels of text in a rectangle: neither panel nor white (the numbers
  // are smoothed, so few have their exact colour).
  int inked(QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += at(x, y) != m_panel && at(x, y) != m_white;
    return n;
  }

  QWidget m_parent;
  CLineDiagram m_diagram;
  QImage m_image;
  const QColor m_olive{128, 128, 0}, m_white{Qt::white}, m_panel{236, 233, 216};
};

TEST_F(LineDiagram, TheLineTheGridTheNumbersALineBeyondThePlotAndCaptionsOverTheAxes) {
  EXPECT_EQ(m_diagram.objectName(), QStringLiteral("9009"));
  EXPECT_EQ(m_diagram.clientRect().size(), QSize(268, 268));
  // 0 bar / 4 mA to 10 bar / 20 mA on the Iout diagram (2 mA per half
  // division): from the x axis' fourth of the way up to the plot's corner.
  m_diagram.SetLine(0.0, 10.0, 4.0, 20.0, QStringLiteral("P2 [bar]"), QStringLiteral("Iout [mA]"));
  EXPECT_EQ(m_diagram.linePixels(), QLine(30, 200, 230, 40));
  EXPECT_EQ(at(130, 120), m_olive);  // the middle of the line
  EXPECT_EQ(at(230, 40), m_olive);
  EXPECT_EQ(at(70, 160), m_white);   // a grid crossing
  EXPECT_EQ(at(100, 100), m_panel);  // inside a grid cell
  // Numbers 4..20 on y beside their grid lines, none below the first one.
  EXPECT_GT(inked(QRect(5, 34, 20, 12)), 5);   // "20" at the top
  EXPECT_GT(inked(QRect(5, 194, 20, 12)), 2);  // "4"
  EXPECT_EQ(inked(QRect(0, 234, 29, 12)), 0);

  // 20 x 20 in units of 1 and 2: the end lies far above and right of the
  // plot; it is drawn up to the window's edge.
  m_image = QImage();
  m_diagram.SetScales(1.0f, 1.0f);
  m_diagram.SetLine(0.0, 20.0, 0.0, 20.0, QStringLiteral("P2 [bar]"), QStringLiteral("CTRL [PSI]"));
  EXPECT_EQ(m_diagram.linePixels(), QLine(30, 240, 430, -160));
  EXPECT_EQ(at(250, 20), m_olive);
  // The y axis runs up through the y caption's row; the caption's cells
  // keep it from crossing the letters.
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(9);
  const int h = QFontMetrics(font).height();
  const int captionRow = diagram::kTop - h - 10 + h / 2;
  EXPECT_NE(at(diagram::kLeft, captionRow), m_white);
  EXPECT_EQ(at(diagram::kLeft, diagram::kTop - 5), m_white);  // the axis below the caption
}

}  // namespace
}  // namespace vrx4::testing
