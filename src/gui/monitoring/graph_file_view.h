// The GRAPH page showing a capture file instead of live data: "Open
// capture..." asks for the file, the core reader puts its rows into the
// graph's sample store, and the page says which file it shows, its time
// span, and what was skipped or thinned. Live recording stays off while a
// file is shown; RE-START goes back to live.
#pragma once

#include <QObject>
#include <QString>
#include <string>

#include "core/monitoring/capture_reader.h"

class QPushButton;
class QWidget;

namespace vrx4 {

class CColourLabel;
class CTrendChart;
struct GraphPageHost;
enum class GraphText;

// A child of the page, deleted with it.
class CGraphFileView : public QObject {
 public:
  // The button and the "file shown" line, children of `page`; the notice
  // line below the chart is the page's own.
  CGraphFileView(QWidget* page, const GraphPageHost& host, CTrendChart* chart, CColourLabel* notice);

  QPushButton* button() const { return m_button; }
  bool shown() const { return m_shown; }
  const capture::ReadOutcome& outcome() const { return m_outcome; }

  // Asks for a capture file and shows it. False when nothing changed (the
  // dialog was cancelled, or the file was refused with a message box).
  bool open();
  // Shows the file at `path`; false, with a message box, when it is refused.
  bool show(const std::string& path);
  // Back to live: the lines go; the page clears the store itself.
  void leave();

 private:
  QString text(GraphText t) const;

  QWidget* m_page;
  const GraphPageHost& m_host;
  CTrendChart* m_chart;
  CColourLabel* m_notice;
  QPushButton* m_button = nullptr;
  CColourLabel* m_line = nullptr;
  bool m_shown = false;
  capture::ReadOutcome m_outcome;
};

}  // namespace vrx4
