// The size and columns of the program's file dialogs (Qt's own widgets):
// the list of files shows every column whole, the name, size, type and
// date of each file.
#pragma once

class QFileDialog;

namespace vrx4 {

void shapeFileDialog(QFileDialog& dialog);

}  // namespace vrx4
