// The editing flow the six parameter pages share. A page shows the device
// images read-only (view mode); Modify makes its fields writable (white);
// Save or Restore hands the bytes the page rules build to the link engine,
// or in file mode straight to the device images, and leaves Modify mode.
// In device mode the page then waits, Modify and Restore disabled, until
// the view refreshes it after the transfer.
//
// A Save the rules refuse, or one made while another transfer runs, shows
// a message and leaves the page in Modify mode with every typed value.
// Enter and Escape never save, restore or close a page.
#pragma once

#include <QRect>
#include <cstdint>
#include <vector>

#include "core/link/device_state.h"
#include "gui/pages/page.h"
#include "gui/pages/page_host.h"
#include "core/pages/page_ids.h"
#include "core/pages/page_request.h"

class QKeyEvent;
class QPushButton;

namespace vrx4 {

class CColourButton;
class CColourComboBox;
class CColourEdit;
class CColourLabel;
class CColourRadio;
class CShownNote;

class CEditPage : public CPage {
 public:
  CEditPage(int dialogId, const PageHost& host, EditButtonIds buttons, QWidget* parent);

  void SetEditMode(int on) override;
  void EnableModifyRestore(int on) override;
  void RefreshAfterTransfer() override;
  // Values the regulator has not confirmed in grey, under a note that says
  // why; what the user types in Modify mode stays black.
  void ShowFreshness(Shown images, bool liveSilent) override;
  bool built() const override { return true; }

  // 1 while the page is in Modify mode.
  int m_editing = 0;
  // The bytes of the last Save or Restore, first byte first.
  std::vector<std::uint8_t> m_work;

  virtual void OnModify();
  void OnRestore();
  void OnSave();
  virtual void OnCancelEdit();

 protected:
  // The page's rules: the request a Save or a Restore makes.
  virtual SaveOutcome buildSave() = 0;
  virtual SaveOutcome buildRestore() = 0;
  // Called after a Save was built and before it is handed over (the PID
  // page shows the bytes back in its edits).
  virtual void beforeWrite(const SaveOutcome&) {}
  // The PID page has no Restore.
  virtual bool hasRestore() const { return true; }
  // The name of a refused field as the page shows it, in the language of
  // the labels (the rules give it in English).
  virtual QString fieldName(const Refusal& refusal) const;

  // Hands the request to the engine or, in file mode, to the images.
  // False when it was not accepted: a message was shown, nothing written.
  bool RequestWrite(const SaveOutcome& outcome);

  // Controls of the page, in dialog units, named by their control id.
  CColourEdit* pageEdit(int id, QRect dlu);      // editable in Modify mode
  CColourEdit* measuredEdit(int id, QRect dlu);  // the view writes it
  CColourLabel* caption(int id, const char* text, QRect dlu, bool bold = false);
  CColourRadio* radio(int id, const char* text, QRect dlu, ColourWord textColour = colour::kBlack);
  // A group box: its area is painted in the panel colour.
  QWidget* groupBox(int id, QRect dlu);
  // Modify/Save at `first`, Restore/Cancel at `second`, and the hidden,
  // disabled default button.
  void createButtons(QRect first, QRect second, int defaultButtonId = 1);
  // A list the page enables and colours with its edit fields.
  void addEditableList(CColourComboBox* list) { m_lists.push_back(list); }

  DeviceState& state() const { return *m_host.state; }
  Images images() const { return state().snapshot(); }
  bool fileMode() const;
  PageUnits units() const { return m_host.units ? m_host.units() : PageUnits{}; }
  const PageHost& host() const { return m_host; }
  void showMessage(const QString& text);
  QPushButton* button(int id) const;

  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void finishWrite(const SaveOutcome& outcome);
  void applyFreshness();
  QString refusalMessage(const Refusal& refusal) const;

  const PageHost& m_host;
  EditButtonIds m_buttonIds;
  std::vector<CColourEdit*> m_edits;
  std::vector<CColourEdit*> m_measured;
  std::vector<CColourComboBox*> m_lists;
  CShownNote* m_note = nullptr;
  Shown m_shownImages = Shown::Current;
  bool m_liveSilent = false;
  std::vector<QWidget*> m_groups;
};

}  // namespace vrx4
