// The terms-of-use page shown until the user accepts the terms once: the
// terms document of the current language, "I Agree" and "I disagree".
#pragma once

#include <cstdint>

#include "gui/pages/page.h"

class QTextEdit;
class QPushButton;

namespace vrx4 {

class CVRX4App;

class CAgreementPage : public CPage {
 public:
  CAgreementPage(CVRX4App& app, QWidget* view);
  bool built() const override { return true; }

  // Loads the terms document of a language (nothing for a number above 3).
  void loadTerms(std::uint8_t language);
  void OnAgree();

 private:
  CVRX4App& m_app;
  QWidget* m_view;
  QTextEdit* m_text;
};

}  // namespace vrx4
