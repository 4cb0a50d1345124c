// What the two EEPROM map pages share: white pages with column frames in
// the panel colour, their buttons, and the whole-area write of an edit
// image (op 5 for BASE, op 6 for OPTION; at once in file mode). A write
// asked for while another transfer runs changes nothing and says so.
// An edited text writes only what the user changed in it, over the
// device image as it is at the write.
#pragma once

#include <QRect>
#include <functional>
#include <optional>
#include <vector>

#include "core/base/colour_word.h"
#include "core/link/device_state.h"
#include "gui/memory/memory_host.h"
#include "core/memory/whole_config.h"
#include "gui/pages/page.h"

class QPushButton;

namespace vrx4 {

class CColourLabel;
class CMapEdit;

class CMapPage : public CPage {
 public:
  CMapPage(int dialogId, const MemoryHost& host, QWidget* parent);
  bool built() const override { return true; }
  // The texts of the device images in grey while they are last read, with
  // a tooltip that says why.
  void ShowFreshness(Shown images, bool liveSilent) override;

 protected:
  QPushButton* addButton(int id, const char* text, QRect place, ColourWord back, std::function<void()> handler);
  CColourLabel* addCaption(int id, const char* text, QRect place);
  // A column frame, filled with the panel colour.
  void addColumn(QRect place) { m_columns.push_back(place); }
  void enableButtons(std::initializer_list<int> ids, bool enable);
  QPushButton* button(int id);

  whole_config::EditWrite writeArea(Area area, const Image& edit);

  // The device images the text of `area` was last made from.
  void setShown(Area area, const Images& images) { m_shown[area == Area::Base ? 0 : 1] = images; }
  const Image& shown(Area area) const { return m_shown[area == Area::Base ? 0 : 1].device(area); }
  // What an edited text writes: `typed` is the text's parse (on top of the
  // shown image). `edit` is the device image as it is now with what the
  // user changed in place. When the device image changed too where the
  // user changed it, nothing is to be written: the message names those
  // values, the text is to show `rebased` (the device image now with the
  // user's other changes) and the shown images become the current ones.
  // Neither while another transfer runs (the message says so).
  struct Changes {
    std::optional<Image> edit;
    std::optional<Image> rebased;
  };
  Changes changesOverDevice(Area area, const Image& typed);
  Image device(Area area) const;
  bool fileMode() const;
  const MemoryHost& host() const { return m_host; }
  void showMessage(const QString& text) { m_host.show(this, text); }

  void paintEvent(QPaintEvent* event) override;
  // The text colour of an images' text not being edited or written.
  ColourWord restingColour() const;
  // `text` at rest: its colour and tooltip say whether it is last read.
  void markResting(CMapEdit* text) const;
  // Each page marks the texts it has at rest.
  virtual void applyFreshness() {}

 private:
  const MemoryHost& m_host;
  std::vector<QRect> m_columns;
  Images m_shown[2];  // BASE, OPTION
  Shown m_images = Shown::Current;
};

}  // namespace vrx4
