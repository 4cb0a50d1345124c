// vrx4-manual-pdf: lays out the user manual (Markdown) and writes it as a
// PDF with Qt's own PDF writer. Run at build time.
//   vrx4-manual-pdf INPUT.md OUTPUT.pdf [PREFACE.md]
// The optional preface (a translated title and a note) goes before the text.
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

namespace {

bool readText(const char* path, QString& out) {
  QFile f(QString::fromLocal8Bit(path));
  if (!f.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "vrx4-manual-pdf: cannot read %s: %s\n", path, qPrintable(f.errorString()));
    return false;
  }
  out = QString::fromUtf8(f.readAll());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: vrx4-manual-pdf INPUT.md OUTPUT.pdf [PREFACE.md]\n");
    return 1;
  }
  QString text;
  if (!readText(argv[1], text)) return 1;
  if (argc == 4) {
    QString preface;
    if (!readText(argv[3], preface)) return 1;
    text = preface + QStringLiteral("\n\n") + text;
  }
  QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
  writer.setTitle(QStringLiteral("VRX4 user manual"));
  writer.setCreator(QStringLiteral("vrx4-manual-pdf"));
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                                   QPageLayout::Millimeter));
  QTextDocument doc;
  doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
  doc.setMarkdown(text);
  doc.print(&writer);  // paginates and numbers the pages
  QFile check(QString::fromLocal8Bit(argv[2]));
  if (!check.exists() || check.size() == 0) {
    std::fprintf(stderr, "vrx4-manual-pdf: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
