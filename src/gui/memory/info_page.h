// The information page: the connected regulator's serial number and the
// type and version of its BASE and OPTION software, from the device images
// as the last read or confirmed write left them. A small child of the
// tools page, shown by "VRX's information" and hidden by every other
// command and navigation button.
#pragma once

#include "core/base/control_ids.h"
#include "gui/pages/page.h"

namespace vrx4 {

struct Images;

namespace info_id {
constexpr int kFrame = 1198;
constexpr int kSerialCaption = 1103;
constexpr int kSerial = 1097;
constexpr int kBaseTypeCaption = 1104;
constexpr int kBaseType = 1098;
constexpr int kBaseVersionCaption = 1105;
constexpr int kBaseVersion = 1099;
constexpr int kOptionTypeCaption = 1106;
constexpr int kOptionType = 1100;
constexpr int kOptionVersionCaption = 1107;
constexpr int kOptionVersion = 1101;
constexpr int kFixedLine = 1108;
constexpr int kSpare = 1102;
}  // namespace info_id

class CInfoPage : public CPage {
 public:
  explicit CInfoPage(QWidget* parent);
  // Shows the page filled from the device images.
  void ShowIdentity(const Images& images);
};

}  // namespace vrx4
