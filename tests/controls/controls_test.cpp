// The coloured controls as they are drawn, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QTemporaryDir>
#include <fstream>

#include "bmp_builder.h"
#include "gui/controls/bitmap_painter.h"
#include "gui/controls/colour_button.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/font_height.h"
#include "gui/controls/indicator_lamp.h"

namespace vrx4 {
namespace {

QImage shot(QWidget& w) { return w.grab().toImage(); }

// (The blink timer, style masks and font heights of the colour scheme are
// used by no page.)
TEST(ColourControls, LabelsButtonsAndLamp) {
  QWidget parent;
  parent.resize(300, 200);
  CColourLabel plain(QStringLiteral("plain"), &parent);
  QLabel reference(QStringLiteral("plain"), &parent);
  plain.setGeometry(0, 0, 80, 20);
  reference.setGeometry(0, 0, 80, 20);
  EXPECT_EQ(shot(plain), shot(reference));  // default colours: the plain look

  CColourButton modify(QStringLiteral("Modify"), &parent);
  modify.setGeometry(0, 60, 120, 32);
  modify.setBackColour(colour::kRed);
  modify.setEnabled(false);
  const QImage button = shot(modify);
  EXPECT_EQ(button.pixel(8, 8), qRgb(255, 0, 0));
  const QPalette pal;
  bool highlight = false, shadow = false;  // disabled text is engraved
  for (int y = 6; y < 26; ++y)
    for (int x = 6; x < 114; ++x) {
      highlight |= button.pixel(x, y) == pal.color(QPalette::Light).rgb();
      shadow |= button.pixel(x, y) == pal.color(QPalette::Dark).rgb();
    }
  EXPECT_TRUE(highlight && shadow);

  CIndicatorLamp lamp;
  lamp.SetPlace(100, 100, 120, 120, colour::kRed);
  lamp.Create(&parent, 2005);
  EXPECT_EQ(lamp.geometry(), QRect(100, 100, 20, 20));
  lamp.SetColour(colour::kGreen);
  const QImage l = shot(lamp);
  EXPECT_EQ(l.pixel(10, 10), qRgb(0, 255, 0));
  EXPECT_NE(l.pixel(0, 0), qRgb(0, 255, 0));  // round, corners stay the parent's
  parent.show();
  QApplication::processEvents();
  const int before = lamp.paints();
  lamp.SetColour(colour::kGreen);  // same colour: still repainted
  EXPECT_GT(lamp.paints(), before);

}

TEST(FontHeight, PositiveIsTheCellNegativeTheCharacter) {
  for (const char* family : {"DejaVu Sans", "DejaVu Sans Mono"}) {
    QFont font(QString::fromLatin1(family));
    for (int height : {6, 8, 10, 13, 16, 24, 40}) {
      SCOPED_TRACE(std::string(family) + " " + std::to_string(height));
      // Negative: the character height, as Qt's pixel size is.
      EXPECT_EQ(fontWithHeight(font, -height).pixelSize(), height);
      // Positive: the whole cell fits the height, and one pixel more would
      // not; so the text is smaller than the same negative height gives.
      const QFont at = fontWithHeight(font, height);
      QFont above = at;
      above.setPixelSize(at.pixelSize() + 1);
      EXPECT_EQ(at.pixelSize(), pixelSizeForHeight(font, height));
      EXPECT_LE(QFontMetrics(at).height(), height);
      EXPECT_GT(QFontMetrics(above).height(), height);
    }
    // 0 keeps the font; absurd heights stay bounded.
    EXPECT_EQ(fontWithHeight(font, 0), font);
    EXPECT_EQ(pixelSizeForHeight(font, 1), 1);
    EXPECT_LE(pixelSizeForHeight(font, 2000000000), 1000);
    EXPECT_EQ(pixelSizeForHeight(font, -2147483647 - 1), 1000);
  }
}

TEST(BitmapPainter, DrawsFilesAndFindsThemInTheDataFolder) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  const auto eight = testing::makeBmp(4, 4, 8, [](int, int) { return 1u; }, {0x000000, 0xFF0000});
  std::ofstream(folder + "/logo.bmp", std::ios::binary) << std::string(eight.begin(), eight.end());
  QImage canvas(10, 10, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  {
    QPainter p(&canvas);
    EXPECT_TRUE(DrawBitmapFile(resolveBitmapPath("logo.bmp", folder), p));
    EXPECT_FALSE(DrawBitmapFile("/nonexistent.bmp", p));
  }
  EXPECT_EQ(canvas.pixelColor(0, 0), QColor(255, 0, 0));  // table entry 1 is red
  EXPECT_EQ(canvas.pixelColor(5, 5), QColor(Qt::white));
  EXPECT_EQ(resolveBitmapPath("missing.bmp", folder), "missing.bmp");
  EXPECT_EQ(resolveBitmapPath("/abs/x.bmp", folder), "/abs/x.bmp");
}

}  // namespace
}  // namespace vrx4
