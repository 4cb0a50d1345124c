// The LIVE page: inputs, measurements and outputs of the regulator, and in
// the setting modes the test panel whose values the link engine sends as
// the live command.
#pragma once

#include <cstdint>

#include "app/control_ids.h"
#include "link/live_test_fields.h"
#include "pages/page.h"

namespace vrx4 {

class CLivePage : public CPage {
 public:
  explicit CLivePage(QWidget* parent) : CPage(dialog::kLive, parent) {}

  // The test fields the engine reads; the page owns them.
  LiveTestFields& testFields() { return m_testFields; }

  // Lays the page out for an access mode (what is shown, what is writable).
  void ApplyAccessMode(std::uint32_t mode) { m_layoutMode = mode; }
  std::uint32_t layoutMode() const { return m_layoutMode; }
  // Clears every test value and switch: nothing is forced any more.
  void ResetTests() { m_testFields.set(LiveTestSnapshot{}); }

 private:
  LiveTestFields m_testFields;
  std::uint32_t m_layoutMode = 0;
};

}  // namespace vrx4
