// What the two EEPROM map pages share: white pages with column frames in
// the panel colour, their buttons, and the whole-area write of an edit
// image (op 5 for BASE, op 6 for OPTION; at once in file mode). A write
// asked for while another transfer runs changes nothing and says so.
#pragma once

#include <QRect>
#include <functional>
#include <vector>

#include "core/base/colour_word.h"
#include "core/link/device_state.h"
#include "gui/memory/memory_host.h"
#include "core/memory/whole_config.h"
#include "gui/pages/page.h"

class QPushButton;

namespace vrx4 {

class CColourLabel;

class CMapPage : public CPage {
 public:
  CMapPage(int dialogId, const MemoryHost& host, QWidget* parent);
  bool built() const override { return true; }

 protected:
  QPushButton* addButton(int id, const char* text, QRect place, ColourWord back, std::function<void()> handler);
  CColourLabel* addCaption(int id, const char* text, QRect place);
  // A column frame, filled with the panel colour.
  void addColumn(QRect place) { m_columns.push_back(place); }
  void enableButtons(std::initializer_list<int> ids, bool enable);
  QPushButton* button(int id);

  whole_config::EditWrite writeArea(Area area, const Image& edit);
  Image device(Area area) const;
  bool fileMode() const;
  const MemoryHost& host() const { return m_host; }
  void showMessage(const QString& text) { m_host.show(this, text); }

  void paintEvent(QPaintEvent* event) override;

 private:
  const MemoryHost& m_host;
  std::vector<QRect> m_columns;
};

}  // namespace vrx4
