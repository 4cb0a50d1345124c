// A logo panel of the main view: a bitmap file drawn at its own size, read
// again at every paint. A missing file leaves the panel white.
#pragma once

#include <string>

#include "gui/pages/page.h"

namespace vrx4 {

inline constexpr const char* kMakerLogo = "HOLMAR gold 72_reduit.bmp";
inline constexpr const char* kBrandLogo = "ZENTOR blanc 72_reduit.bmp";
inline constexpr const char* kSoftwareLogo = "Tarvo_blue_reduit.bmp";

class CLogoPanel : public CPage {
 public:
  CLogoPanel(int dialogId, std::string bitmapName, std::string dataDir, QWidget* parent);
  bool built() const override { return true; }
  // Whether the last paint found the bitmap.
  bool drawn() const { return m_drawn; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::string m_bitmapName;
  std::string m_dataDir;
  bool m_drawn = false;
};

}  // namespace vrx4
