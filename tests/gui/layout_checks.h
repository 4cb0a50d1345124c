// A layout check of what a user would see as cut, overlapping or touching:
// among the visible controls of a panel, no text is wider than its control,
// no two controls overlap unless one is a frame around the other, and the
// drawn text keeps a margin to every other control and to the line of any
// frame around it. Cheap enough to run on every render, so that a later
// text change that cuts or crowds a label fails a test.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <string>
#include <vector>

namespace vrx4::testing {

// Pixels of white space a text keeps to the controls around it.
constexpr int kTextMargin = 2;

inline std::string describe(const QWidget* w) {
  std::string s = w->metaObject()->className();
  s += " " + w->objectName().toStdString();
  if (auto* l = qobject_cast<const QLabel*>(w)) s += " \"" + l->text().toStdString() + "\"";
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) s += " \"" + b->text().toStdString() + "\"";
  return s;
}

// A box frame drawn around other controls (a group box).
inline bool isFrame(const QWidget* w) {
  auto* f = qobject_cast<const QFrame*>(w);
  return f != nullptr && f->metaObject() == &QFrame::staticMetaObject && f->frameShape() == QFrame::Box;
}

// Where the control's text is drawn, in its parent's coordinates; null
// for a control without text.
inline QRect drawnText(const QWidget* w) {
  QRect r;
  if (auto* l = qobject_cast<const QLabel*>(w)) {
    if (l->text().isEmpty() || l->textFormat() == Qt::RichText) return {};
    int flags = static_cast<int>(QStyle::visualAlignment(l->layoutDirection(), l->alignment()));
    if (l->wordWrap()) flags |= Qt::TextWordWrap;
    const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    r = l->fontMetrics().boundingRect(room, flags, l->text());
  } else if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
    if (b->text().isEmpty() || qobject_cast<const QPushButton*>(w) != nullptr) return {};
    QStyleOptionButton o;
    o.initFrom(b);
    const bool radio = qobject_cast<const QRadioButton*>(w) != nullptr;
    const QRect contents =
        b->style()->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &o, b);
    r = b->fontMetrics().boundingRect(contents, Qt::AlignLeft | Qt::AlignVCenter, b->text());
  } else {
    return {};
  }
  return r.translated(w->pos());
}

// The room a control's text needs beyond the text itself.
inline void expectTextFits(const QWidget* w, const std::string& name) {
  if (auto* b = qobject_cast<const QPushButton*>(w)) {
    EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << name << ": cut: " << describe(w);
  } else if (auto* e = qobject_cast<const QLineEdit*>(w)) {
    EXPECT_LE(e->fontMetrics().horizontalAdvance(e->text()) + 6, e->width()) << name << ": cut: " << describe(w)
                                                                           << " \"" << e->text().toStdString() << "\"";
  } else if (auto* c = qobject_cast<const QComboBox*>(w)) {
    EXPECT_LE(c->sizeHint().width(), c->width()) << name << ": cut: list " << c->currentText().toStdString();
  } else if (auto* choice = qobject_cast<const QAbstractButton*>(w)) {
    if (!choice->text().isEmpty()) {
      EXPECT_LE(choice->sizeHint().width(), choice->width()) << name << ": cut: " << describe(w);
    }
  } else if (auto* l = qobject_cast<const QLabel*>(w)) {
    if (l->wordWrap() || l->text().isEmpty() || l->textFormat() == Qt::RichText) return;
    EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()) + 2 * l->margin(), l->contentsRect().width())
        << name << ": cut: " << describe(w);
  }
  const QRect text = drawnText(w);
  if (text.isNull()) return;
  EXPECT_TRUE(w->geometry().contains(text)) << name << ": text outside its control: " << describe(w);
}

// The visible controls directly inside `panel`, checked against each other.
inline void expectCleanLayout(QWidget* panel, const std::string& name, const std::vector<QWidget*>& skip = {}) {
  std::vector<QWidget*> controls;
  for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w->isVisibleTo(panel) && !w->isWindow() && std::find(skip.begin(), skip.end(), w) == skip.end())
      controls.push_back(w);
  for (QWidget* a : controls) {
    expectTextFits(a, name);
    const QRect text = drawnText(a);
    for (QWidget* b : controls) {
      if (a == b) continue;
      const QRect ra = a->geometry(), rb = b->geometry();
      if (isFrame(b) && rb.contains(ra)) {
        // Inside a frame: the text stays off its line.
        if (!text.isNull()) {
          const int line = static_cast<QFrame*>(b)->frameWidth() + kTextMargin;
          const QRect inside = rb.adjusted(line, line, -line, -line);
          EXPECT_TRUE(inside.contains(text)) << name << ": on the frame line: " << describe(a) << " in "
                                             << describe(b);
        }
        continue;
      }
      if (isFrame(a) && ra.contains(rb)) continue;
      if (a < b) {
        EXPECT_FALSE(ra.intersects(rb)) << name << ": overlap: " << describe(a) << " and " << describe(b);
      }
      if (!text.isNull()) {
        EXPECT_FALSE(text.adjusted(-kTextMargin, -kTextMargin, kTextMargin, kTextMargin).intersects(rb))
            << name << ": touching: the text of " << describe(a) << " and " << describe(b);
      }
    }
  }
}

}  // namespace vrx4::testing
