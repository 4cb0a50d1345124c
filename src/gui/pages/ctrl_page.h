// The CONTROL channel page: the command input's scaling (BASE 1..8) and its
// input type (bit 0 of CONSIGNE, BASE 0).
#pragma once

#include "core/base/control_ids.h"
#include "gui/pages/channel_page.h"

namespace vrx4 {

class CCtrlPage : public CChannelPage {
 public:
  CCtrlPage(const PageHost& host, QWidget* parent) : CChannelPage(Channel::Control, dialog::kCtrl, host, parent) {
    createTypeSelection();
  }

 protected:
  // In file mode no device reports the type: it is read from CONSIGNE.
  void readImageState(const Images& im) override {
    if (m_editing == 0 && fileMode()) m_inputType = controlInputType(im.g_baseDevice);
  }
};

}  // namespace vrx4
