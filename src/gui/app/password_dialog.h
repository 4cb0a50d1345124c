// The access-code dialog of the mode page: a password-style edit, a prompt,
// OK and Cancel, with the captions of the current language.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QLabel;
class QPushButton;

namespace vrx4 {

class CPasswordDialog : public QDialog {
 public:
  CPasswordDialog(QWidget* parent, const QString& caption, const QString& prompt, const QString& okText,
                  const QString& cancelText);

  // The code typed, taken when OK is pressed.
  const std::string& enteredCode() const { return m_code; }

  void accept() override;

 private:
  QLineEdit* m_edit;
  std::string m_code;
};

}  // namespace vrx4
