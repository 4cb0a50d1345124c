// A flat button that shows a bitmap with one transparent colour: a raised
// frame while the mouse is over it, sunk while pressed or checked, and the
// push, check or radio behaviour of the button it replaces. The graph page
// uses three, one radio group, as the record, pause and end buttons of the
// capture file.
#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <array>
#include <string>

#include "core/base/colour_word.h"

namespace vrx4 {

class CImageButton : public QAbstractButton {
 public:
  // Button types of the template (the low style bits).
  enum Type { kPush = 0, kCheckBox = 2, kAutoCheckBox = 3, kRadio = 4, kAutoRadio = 9 };
  // Drawing states.
  enum State { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };
  // Image placement bits; 0 puts the image 3 pixels from the top left.
  enum Align { kCentreH = 1, kRight = 2, kCentreV = 4, kBottom = 8 };
  static constexpr int kHoverCheckMs = 100;

  explicit CImageButton(int buttonType, QWidget* parent = nullptr);

  // Loads a BMP file; `transparent` pixels show the button's face. False,
  // leaving the button without an image (it still works), when the file
  // cannot be read.
  bool SetBitmap(const std::string& path, ColourWord transparent);

  bool isRadio() const { return m_nButtonType == kRadio || m_nButtonType == kAutoRadio; }
  bool isCheckType() const { return m_nButtonType == kCheckBox || m_nButtonType == kAutoCheckBox; }
  // BM_GETCHECK / BM_SETCHECK: 1 checked, 0 not (push buttons: always 0).
  int GetCheck() const;
  void SetCheck(int check);

  int m_nButtonType;
  // Background and text colour for normal, hover and pressed, in that
  // order (normal background, normal text, hover background, ...).
  std::array<ColourWord, 6> m_colours;
  bool m_bHasImage = false;
  bool m_bPressed = false;
  bool m_bHover = false;
  bool m_bChecked = false;
  int m_flags = 1;  // bit 0 flat
  int m_imageAlign = 0;
  int m_state = kNormal;
  QSize m_imageSize;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void nextCheckState() override;
  void checkStateSet() override;

 private:
  void setHover(bool hover);
  QPoint imagePosition(const QRect& r) const;

  QPixmap m_image;
  QPixmap m_disabledImage;
  int m_hoverTimer = 0;
};

}  // namespace vrx4
