// The mode page (HOME): VISUALISATION, SETTING and SETTING PRO, the latter
// two behind access codes typed into the password dialog.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gui/pages/page.h"

class QLineEdit;

namespace vrx4 {

class CVRX4App;
class CVRX4View;

class CModePage : public CPage {
 public:
  CModePage(CVRX4App& app, CVRX4View& view);
  bool built() const override { return true; }

  void OnVisualisation();
  void OnSetting();
  void OnSettingPro();

 private:
  // Asks for a code; nullopt when the dialog was not closed with OK.
  std::optional<std::string> askCode();
  void wrongPassword();
  // The LIVE page in the new mode, the tools page's layout, the page number.
  void enterMode(std::uint32_t mode, bool service);
  // What every button handler ends with.
  void finish();

  CVRX4App& m_app;
  CVRX4View& m_view;
  QLineEdit* m_passwordEdit;
};

}  // namespace vrx4
