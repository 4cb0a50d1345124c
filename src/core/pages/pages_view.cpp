#include "core/pages/pages_view.h"

namespace vrx4 {

AllPagesView showAllPages(const Images& device, const PageUnits& u) {
  AllPagesView v;
  for (int type : {input_type::kVoltage, input_type::kCurrent}) {
    v.control.byType[type] = showChannel(Channel::Control, device, type, u);
    v.auxin.byType[type] = showChannel(Channel::Auxin, device, type, u);
  }
  v.control.inputType = controlInputType(device.g_baseDevice);
  v.auxin.inputType = auxinInputType(device.g_optionDevice);
  v.auxinReadAs = auxinReadAs(device.g_optionDevice);
  v.uout = showChannel(Channel::Uout, device, input_type::kVoltage, u);
  v.iout = showChannel(Channel::Iout, device, input_type::kVoltage, u);
  v.alarm = showAlarm(device, u);
  v.pid = showPid(device);
  return v;
}

}  // namespace vrx4
