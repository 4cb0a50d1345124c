// The AUXin channel page: the auxiliary input's scaling (OPTION 10..17),
// its input type (bit 3 of FLAG, OPTION 0) and, in access mode 4, whether
// the regulator reads it as the P2 pressure (bit 2 of FLAG).
#pragma once

#include "core/base/control_ids.h"
#include "gui/pages/channel_page.h"

namespace vrx4 {

class CColourComboBox;

class CAuxinPage : public CChannelPage {
 public:
  CAuxinPage(const PageHost& host, QWidget* parent);

  void UpdateData(bool save) override;
  bool setControlText(int controlId, const QString& text) override;

  // "TO BE READ AS": 0 "Monitoring value", 1 "P2 pressure".
  int m_readAs = 0;

 protected:
  void OnModify() override;
  void readImageState(const Images& im) override;
  void afterRefresh() override;
  int readAs() const override { return m_readAs; }

 private:
  CColourComboBox* m_list = nullptr;
};

}  // namespace vrx4
