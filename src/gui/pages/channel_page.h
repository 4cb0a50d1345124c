// What the four analogue channel pages (CONTROL, AUXin, Uout, Iout) share:
// the characteristic line between two corner points, its four corner
// fields around a line diagram, the measured value the view writes in and
// the value the line maps it to. The input pages add the U/I choice.
//
// The texts, the clipping, the line through typed corners and the bytes a
// Save writes all come from the page rules (channel_scaling.h,
// channel_save.h); this class shows them and collects what the user types.
#pragma once

#include <QString>

#include "core/pages/channel_save.h"
#include "core/pages/channel_scaling.h"
#include "gui/pages/edit_page.h"

class QButtonGroup;

namespace vrx4 {

class CColourEdit;
class CLineDiagram;

class CChannelPage : public CEditPage {
 public:
  CChannelPage(Channel channel, int dialogId, const PageHost& host, QWidget* parent);

  void Refresh(int keepButtons) override;
  void UpdateData(bool save) override;
  bool setControlText(int controlId, const QString& text) override;

  // ComputeLine: the line through the four corner fields, drawn at once.
  void ComputeLine();
  // UpdateEquivalent: the measured value mapped by the line (view mode only).
  void UpdateEquivalent();

  Channel channel() const { return m_channel; }
  CLineDiagram* diagram() const { return m_diagram; }

  // The page's line in page units and the corners last drawn.
  double m_slope = 0.0;
  double m_offset = 0.0;
  double m_xLow = 0.0;
  double m_xHigh = 0.0;
  double m_yLow = 0.0;
  double m_yHigh = 0.0;
  // CONTROL and AUXin: 0 voltage (U), 1 current (I).
  int m_inputType = input_type::kVoltage;

 protected:
  SaveOutcome buildSave() override;
  SaveOutcome buildRestore() override;
  void OnModify() override;
  void OnCancelEdit() override;

  // Before the corners are decoded: the input pages take their type (and
  // AUXin its reading) from the images where the page says so.
  virtual void readImageState(const Images&) {}
  // After a Refresh: the AUXin page shows its "TO BE READ AS" group by mode.
  virtual void afterRefresh() {}
  // AUXin's "TO BE READ AS" choice for a Save.
  virtual int readAs() const { return 0; }
  QString fieldName(const Refusal& refusal) const override;

  // The U/I radio pair (input pages), placed as the page gives it.
  void createTypeSelection();
  void pushInputType();
  const ChannelIds& ids() const { return m_ids; }

 private:
  void createControls();
  CornerTexts cornerTexts() const;
  void setCornerTexts(const CornerTexts& t);
  void drawLine(const Corners& c);
  QString fieldText(int id) const;
  void onTypeClicked(int type);

  Channel m_channel;
  const ChannelIds& m_ids;
  CLineDiagram* m_diagram = nullptr;
  QButtonGroup* m_typeGroup = nullptr;
  // x unit of the input pages: "[V]" or "[mA]".
  QString m_xUnit;
  // The type the page showed when Modify began; Cancel goes back to it.
  int m_typeBeforeModify = input_type::kVoltage;
  // What the last Refresh showed: a Save converts only the corners whose
  // text the user changed.
  ChannelView m_shown;
  // The output pages' output caption: the label table gives the word, the
  // page keeps its unit after it (" [V]", " [mA]").
  QString m_outputUnit;
};

}  // namespace vrx4
