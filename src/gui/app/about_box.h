// The about box: the program's name and version.
#pragma once

#include <QDialog>

class QPushButton;

namespace vrx4 {

inline constexpr const char* kAboutText = "tarvo     Version : 01.04";

class CAboutBox : public QDialog {
 public:
  explicit CAboutBox(QWidget* parent);
  // Caption and OK text of the current language, set before showing.
  void setTexts(const QString& caption, const QString& okText);

 private:
  QPushButton* m_ok;
};

}  // namespace vrx4
