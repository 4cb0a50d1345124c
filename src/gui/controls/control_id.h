// A widget's object name is its control id, so that the label table and
// the tests find a control by number.
#pragma once

#include <QString>
#include <QWidget>

namespace vrx4 {

inline void setControlId(QWidget* w, int id) {
  w->setObjectName(QString::number(id));
  w->setProperty("controlId", id);
}

inline int controlId(const QWidget* w) { return w->property("controlId").toInt(); }

template <class T = QWidget>
T* findControl(QWidget* root, int id) {
  return root->findChild<T*>(QString::number(id));
}

}  // namespace vrx4
