// A page of the main view: a child panel created once, placed in the page
// area and shown or hidden, never destroyed while the program runs. The
// view calls the page operations on every parameter page; a page that has
// nothing to do for one keeps the empty default.
#pragma once

#include <QWidget>

#include "core/base/colour_word.h"
#include "core/base/command_reasons.h"

namespace vrx4 {

class CPage : public QWidget {
 public:
  CPage(int dialogId, QWidget* parent, ColourWord background = colour::kPanel);

  int dialogId() const { return m_dialogId; }

  // Shows the device (or edit) images again; keepButtons 1 leaves the
  // Modify/Save buttons as they are.
  virtual void Refresh(int keepButtons);
  // 1 = the page's fields become editable (Modify), 0 = view mode.
  virtual void SetEditMode(int editing);
  // Enables or disables the page's device buttons (Modify, Restore, ...).
  // Disabled, they say the reason last given to Wait.
  virtual void EnableModifyRestore(int enable);
  // Disables the device buttons until what `why` names has happened.
  void Wait(Blocked why) {
    m_waitReason = why;
    EnableModifyRestore(0);
  }
  // How current the values the page shows are: the device images, and
  // the live values (silent: the lamp is red, they no longer come). The
  // view tells every page when either changes.
  virtual void ShowFreshness(Shown images, bool liveSilent);
  // The end of a transfer: the page shows the device images again.
  virtual void RefreshAfterTransfer() { Refresh(0); }
  // Data exchange: save = true pulls the controls into the page's fields,
  // false pushes the fields to the controls.
  virtual void UpdateData(bool save);
  // Shows the page's images as loaded (the EEPROM map pages).
  virtual void RefreshAsLoaded();
  // False while the page is still an empty panel: the view skips it.
  virtual bool built() const { return false; }

  // Text of one of the page's controls, by control id (the label table).
  virtual bool setControlText(int controlId, const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Why the device buttons are disabled; the pages wait for the first
  // full read from the start.
  Blocked waitReason() const { return m_waitReason; }

 private:
  Blocked m_waitReason = Blocked::ReadRunning;
  int m_dialogId;
  ColourWord m_background;
};

}  // namespace vrx4
