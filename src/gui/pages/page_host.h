// What a parameter page needs from the program around it: the shared
// device state, the display context of this moment (unit, factor, range,
// access mode), the texts it shows in message boxes, a way to show them,
// and the folder of the data files. The main view fills it in once; the
// pages never reach the application object themselves.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "core/pages/page_formats.h"

class QWidget;

namespace vrx4 {

class DeviceState;

// Message texts a page shows; the view looks them up in the language file.
enum class PageText {
  TransferBusy,     // a Save or Restore while another transfer runs
  RequestInvalid,   // a request the link engine cannot carry
  NotANumber,       // "%s : not a number..." (the field's name for %s)
  NotAWholeNumber,  // "%s : not a whole number (Min=0 - Max=255)"
  LowerXCorner,     // the channel pages' corner fields, by name
  UpperXCorner,
  LowerYCorner,
  UpperYCorner,
};

struct PageHost {
  DeviceState* state = nullptr;
  std::function<PageUnits()> units;
  std::function<QString(PageText)> text;
  std::function<void(QWidget* parent, const QString& text)> message;
  std::string dataDir;
};

}  // namespace vrx4
