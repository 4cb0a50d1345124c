#include "gui/report/report_painter.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygonF>
#include <QSaveFile>
#include <QTextLayout>
#include <algorithm>
#include <memory>

#include "core/pages/line_diagram_scale.h"

namespace vrx4 {
namespace {

// Lengths are in tenths of a millimetre of the page's printable area.
constexpr double kGap = 12;          // between a label and its value, around table cells
constexpr double kSectionGap = 50;   // above a section's title
constexpr double kFooter = 60;       // the page number's band at the bottom
constexpr double kDiagramSide = 650; // a characteristic line's square
constexpr double kDiagramClient = 268;  // the line diagram's client area, in its own pixels
constexpr double kLabelShare = 0.3;      // of the width, for the labels of every table

QColor qColour(ColourWord c) { return QColor(colour::red(c), colour::green(c), colour::blue(c)); }
const QColor kPanel = qColour(colour::rgb(236, 233, 216));
const QColor kShade(246, 245, 240);
const QColor kNoticeBack(255, 246, 214);
const QColor kGrey(90, 90, 90);

QFont font(double pixels, bool bold = false) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(std::max(1, static_cast<int>(pixels + 0.5)));
  f.setBold(bold);
  // No ligatures: "fi" stays two letters, so the PDF's text reads and
  // searches as it is written (Latin script needs no shaping).
  f.setStyleStrategy(QFont::PreferNoShaping);
  return f;
}

// Lays the report out page by page. Run twice: once without a painter to
// count the pages, then with one to draw them, numbered "n / N".
class Layout {
 public:
  Layout(const report::Contents& c, QPagedPaintDevice& device, QPainter* painter, int pages)
      : m_c(c), m_device(device), m_p(painter), m_pages(pages) {
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Millimeter);
    m_width = area.width() * 10;
    m_height = area.height() * 10;
    if (m_p) m_p->setWindow(0, 0, static_cast<int>(m_width), static_cast<int>(m_height));
  }

  int run() {
    title();
    table(m_c.header);
    if (!m_c.notice.empty()) notice();
    for (const report::Section& s : m_c.sections) section(s);
    if (m_c.differences) differences(*m_c.differences);
    footer();
    return m_page;
  }

 private:
  // ---- text ----
  // Lays `text` out `width` wide: at word boundaries, and anywhere inside a
  // word too long for the line (a path).
  double lay(QTextLayout& l, double width) const {
    QTextOption o;
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    l.setTextOption(o);
    l.beginLayout();
    double h = 0;
    for (QTextLine line = l.createLine(); line.isValid(); line = l.createLine()) {
      line.setLineWidth(width);
      line.setPosition(QPointF(0, h));
      h += line.height();
    }
    l.endLayout();
    return h;
  }
  double textHeight(const QString& t, const QFont& f, double width) const {
    QTextLayout l(t, f, &m_device);
    return lay(l, width);
  }
  double textHeight(const std::string& t, const QFont& f, double width) const {
    return textHeight(QString::fromStdString(t), f, width);
  }
  // Draws `t` from the top left of `r`, wrapped to its width; its height.
  double text(const QString& t, const QFont& f, const QRectF& r, const QColor& colour = Qt::black) {
    QTextLayout l(t, f, &m_device);
    const double h = lay(l, r.width());
    if (m_p) {
      m_p->setPen(colour);
      l.draw(m_p, r.topLeft());
    }
    return h;
  }
  double text(const std::string& t, const QFont& f, const QRectF& r, const QColor& colour = Qt::black) {
    return text(QString::fromStdString(t), f, r, colour);
  }

  // ---- pages ----
  double bottom() const { return m_height - kFooter; }
  // Starts a new page unless `h` fits below y (or the page is still empty).
  void need(double h) {
    if (m_y + h > bottom() && m_y > 0) newPage();
  }
  void newPage() {
    footer();
    if (m_p) m_device.newPage();
    ++m_page;
    m_y = 0;
  }
  void footer() {
    if (!m_p) return;
    const QFont f = font(26);
    const double y = m_height - kFooter + 25;
    m_p->setPen(QPen(kGrey, 2));
    m_p->drawLine(QPointF(0, y - 8), QPointF(m_width, y - 8));
    text(m_c.footer, f, QRectF(0, y, m_width * 0.8, kFooter), kGrey);
    const QString number = QStringLiteral("%1 / %2").arg(m_page).arg(m_pages);
    const double w = QFontMetricsF(f, &m_device).horizontalAdvance(number);
    text(number, f, QRectF(m_width - w - 2, y, w + 2, kFooter), kGrey);
  }

  // ---- blocks ----
  void title() {
    const QFont f = font(62, true);
    m_y += text(m_c.title, f, QRectF(0, m_y, m_width, 200));
    if (m_p) {
      m_p->setPen(QPen(Qt::black, 4));
      m_p->drawLine(QPointF(0, m_y + 15), QPointF(m_width, m_y + 15));
    }
    m_y += 45;
  }

  void heading(const std::string& t) {
    const QFont f = font(42, true);
    const double h = textHeight(t, f, m_width - 2 * kGap) + 2 * kGap;
    if (m_p) m_p->fillRect(QRectF(0, m_y, m_width, h), kPanel);
    text(t, f, QRectF(kGap, m_y + kGap, m_width - 2 * kGap, h));
    m_y += h + kGap;
  }

  // A row's height: its label and value side by side.
  double rowHeight(const report::Row& r, double width) const {
    const double lw = labelWidth();
    return std::max(textHeight(r.label, font(34), lw - kGap), textHeight(r.value, font(34, true), width - lw)) +
           kGap;
  }
  double labelWidth() const { return m_width * kLabelShare; }
  void row(const report::Row& r, double x, double width, bool shaded) {
    const double h = rowHeight(r, width);
    const double lw = labelWidth();
    if (m_p && shaded) m_p->fillRect(QRectF(x, m_y, width, h), kShade);
    text(r.label, font(34), QRectF(x + kGap, m_y + kGap / 2, lw - kGap, h), kGrey);
    text(r.value, font(34, true), QRectF(x + lw, m_y + kGap / 2, width - lw - kGap, h));
    m_y += h;
  }
  void table(const std::vector<report::Row>& rows) {
    bool shaded = false;
    for (const report::Row& r : rows) {
      need(rowHeight(r, m_width));
      row(r, 0, m_width, shaded);
      shaded = !shaded;
    }
  }

  void notice() {
    const QFont f = font(34, true);
    const double h = textHeight(m_c.notice, f, m_width - 4 * kGap) + 4 * kGap;
    m_y += kGap;
    need(h);
    if (m_p) {
      m_p->fillRect(QRectF(0, m_y, m_width, h), kNoticeBack);
      m_p->setPen(QPen(QColor(200, 150, 0), 3));
      m_p->drawRect(QRectF(0, m_y, m_width, h));
    }
    text(m_c.notice, f, QRectF(2 * kGap, m_y + 2 * kGap, m_width - 4 * kGap, h));
    m_y += h;
  }

  void section(const report::Section& s) {
    const double rowsWidth = s.diagram ? m_width - kDiagramSide - 3 * kGap : m_width;
    double rowsHeight = 0;
    for (const report::Row& r : s.rows) rowsHeight += rowHeight(r, rowsWidth);
    const double body = s.diagram ? std::max(rowsHeight, kDiagramSide) : rowsHeight;
    const double headingHeight = textHeight(s.title, font(42, true), m_width) + 3 * kGap;
    m_y += kSectionGap;
    // A section stays on one page with its title, unless it is longer than
    // half a page: then its rows go on over the next.
    need(headingHeight + std::min(body, bottom() / 2));
    heading(s.title);
    if (!s.diagram) {
      table(s.rows);
      return;
    }
    const double top = m_y;
    if (m_p) drawDiagram(*s.diagram, QRectF(m_width - kDiagramSide, top, kDiagramSide, kDiagramSide));
    bool shaded = false;
    for (const report::Row& r : s.rows) {
      row(r, 0, rowsWidth, shaded);
      shaded = !shaded;
    }
    m_y = top + body;
  }

  void differences(const report::Differences& d) {
    m_y += kSectionGap;
    need(200);
    heading(d.title);
    table({{d.columns[4], d.golden}});
    m_y += kGap;
    if (d.rows.empty()) {
      need(60);
      m_y += text(d.none, font(34, true), QRectF(kGap, m_y, m_width - 2 * kGap, 200)) + kGap;
      return;
    }
    static constexpr double kShares[5] = {0.13, 0.27, 0.14, 0.23, 0.23};
    using Cells = std::array<std::string, 5>;
    auto height = [&](const Cells& cells, bool head) {
      double h = 0;
      for (std::size_t i = 0; i < 5; ++i) h = std::max(h, textHeight(cells[i], font(32, head), m_width * kShares[i] - kGap));
      return h + kGap;
    };
    auto line = [&](const Cells& cells, bool head, bool shaded) {
      const double h = height(cells, head);
      if (m_p && (head || shaded)) m_p->fillRect(QRectF(0, m_y, m_width, h), head ? kPanel : kShade);
      double x = 0;
      for (std::size_t i = 0; i < 5; ++i) {
        text(cells[i], font(32, head), QRectF(x + kGap / 2, m_y + kGap / 2, m_width * kShares[i] - kGap, h));
        x += m_width * kShares[i];
      }
      m_y += h;
    };
    need(height(d.columns, true) + height(d.rows.front(), false));
    line(d.columns, true, false);
    bool shaded = false;
    for (const Cells& cells : d.rows) {
      if (m_y + height(cells, false) > bottom()) {
        // The column names head every page of the list.
        newPage();
        line(d.columns, true, false);
      }
      line(cells, false, shaded);
      shaded = !shaded;
    }
  }

  // The line as the channel page's line diagram draws it, scaled from its
  // client pixels into `r`.
  void drawDiagram(const report::Diagram& d, const QRectF& r) {
    QPainter& p = *m_p;
    p.save();
    p.translate(r.topLeft());
    p.scale(r.width() / kDiagramClient, r.height() / kDiagramClient);
    p.setClipRect(QRectF(0, 0, kDiagramClient, kDiagramClient));
    p.fillRect(QRectF(0, 0, kDiagramClient, kDiagramClient), kPanel);
    using namespace vrx4::diagram;
    const int xStep = (kRight - kLeft) / kDivisions, yStep = (kBottom - kTop) / kDivisions;
    p.setPen(QPen(Qt::white, 1));
    for (int i = 0; i <= kDivisions; ++i) p.drawLine(kLeft, kBottom - i * yStep, kRight, kBottom - i * yStep);
    p.drawLine(10, kBottom, 250, kBottom);
    for (int i = 0; i <= kDivisions; ++i) p.drawLine(kLeft + i * xStep, kBottom, kLeft + i * xStep, kTop);
    p.drawLine(kLeft, kBottom + 20, kLeft, kTop - 20);
    p.setBrush(kPanel);
    p.drawPolygon(QPolygonF({QPointF(kLeft, kTop - 30), QPointF(kLeft + 5, kTop - 20), QPointF(kLeft - 5, kTop - 20)}));
    p.drawPolygon(QPolygonF({QPointF(250, kBottom), QPointF(240, kBottom + 5), QPointF(240, kBottom - 5)}));
    p.setBrush(Qt::NoBrush);

    const QFont f = font(9);
    p.setFont(f);
    const QFontMetricsF fm(f, &m_device);
    const double th = fm.height();
    auto label = [&](double x, double y, const std::string& s, const QColor& c) {
      const QString t = QString::fromStdString(s);
      const QRectF cell(x, y, fm.horizontalAdvance(t) + 1, th);
      p.fillRect(cell, kPanel);
      p.setPen(c);
      p.drawText(cell, Qt::AlignLeft | Qt::AlignTop, t);
    };
    auto width = [&](const std::string& s) { return fm.horizontalAdvance(QString::fromStdString(s)); };
    const QColor yColour(99, 151, 103), xColour(255, 128, 0);
    for (int i = 1; i <= kDivisions; ++i) {
      const std::string& n = d.yNumbers[static_cast<std::size_t>(i - 1)];
      label(15 - width(n) / 2, kBottom - i * yStep - th / 2, n, yColour);
    }
    label(5, kTop - th - 10, d.yCaption, yColour);
    p.setPen(QPen(qColour(d.colour), 2));
    p.drawLine(d.x1, d.y1, d.x2, d.y2);
    label((kDiagramClient - width(d.title)) / 2, kTop - th - 15, d.title, qColour(d.colour));
    for (int i = 1; i < kDivisions; ++i) {
      const std::string& n = d.xNumbers[static_cast<std::size_t>(i - 1)];
      label(kLeft + i * xStep - width(n) / 2, kBottom + th, n, xColour);
    }
    label(kDiagramClient - 5 - width(d.xCaption), kBottom + th, d.xCaption, xColour);
    p.setClipping(false);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(QRectF(0, 0, kDiagramClient, kDiagramClient));
    p.restore();
  }

  const report::Contents& m_c;
  QPagedPaintDevice& m_device;
  QPainter* m_p;
  int m_pages;
  double m_width = 0, m_height = 0;
  double m_y = 0;
  int m_page = 1;
};

}  // namespace

int paintReport(const report::Contents& contents, QPagedPaintDevice& device) {
  const int pages = Layout(contents, device, nullptr, 0).run();
  QPainter painter;
  if (!painter.begin(&device)) return 0;
  painter.setRenderHint(QPainter::Antialiasing);
  const int drawn = Layout(contents, device, &painter, pages).run();
  painter.end();
  return drawn;
}

bool writeReportPdf(const report::Contents& contents, const QString& path, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = file.errorString();
    return false;
  }
  {
    QPdfWriter writer(&file);
    writer.setTitle(QString::fromStdString(contents.title));
    writer.setCreator(QStringLiteral("VRX4"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 15, 18, 12),
                                     QPageLayout::Millimeter));
    if (paintReport(contents, writer) == 0) {
      file.cancelWriting();
      if (error) *error = QStringLiteral("the PDF could not be drawn");
      return false;
    }
  }
  if (!file.commit()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace vrx4
