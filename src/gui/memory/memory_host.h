// What the tools page and the EEPROM map pages need from the program
// around them: the device state, their texts in the chosen language, the
// message boxes, the file dialogs and the unsaved-changes question (both
// replaceable, so that tests answer them), and the view's side of the
// commands that restart the link or change the display. The main view
// fills it in once; the pages never reach the application object.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "core/memory/config_file.h"

class QWidget;

namespace vrx4 {

class DeviceState;

enum class FileDialogKind {
  Open,  // an existing file (Open, Export to VRX, Exporter)
  New,   // a name that need not exist (New)
  Save,  // a file to write, asking before one is replaced
};

// Texts of the pages' messages and question; the view looks them up.
enum class MemoryText {
  TransferBusy,       // a write while another transfer runs
  UnsavedChanges,     // the question before file-mode work is dropped ("%s": the file)
  Save,               // its three answers
  Discard,
  Cancel,
  FileNotSaved,       // after a failed save ("%s": the file and the reason)
  FileDoesNotSupply,  // Export to VRX of a file that leaves ranges to the regulator ("%s": the ranges)
  ChangedMeanwhile,   // a map page's edit met a change of the same values ("%s": which)
  ImagesNotConfirmed, // Import from VRX before the connected regulator's images are confirmed
  WriteRunningFileMode,  // New or Open while a write to the regulator runs
};

enum class UnsavedAnswer { Save, Discard, Cancel };

struct MemoryHost {
  DeviceState* state = nullptr;
  std::function<QString(MemoryText)> text;
  std::function<void(QWidget* parent, const QString& text)> message;
  // The chosen path; empty when the dialog was cancelled.
  std::function<QString(QWidget* parent, FileDialogKind kind, const QString& title)> chooseFile;
  std::function<UnsavedAnswer(QWidget* parent, const QString& question, const MemoryHost& host)> ask;
  // The view's side: a message posted to it (0x467, 0x469, 0x46B), the port
  // and pressure-range dialogs with their results applied, the about box.
  std::function<void(std::uint32_t message)> post;
  std::function<void(QWidget* parent)> selectPort;
  std::function<void(QWidget* parent)> selectRange;
  std::function<void()> about;
  // The commissioning report (its own dialogs, its PDF or print-out).
  std::function<void(QWidget* parent)> report;

  QString textOf(MemoryText t) const { return text ? text(t) : QString(); }
  void show(QWidget* parent, const QString& t) const {
    if (message) message(parent, t);
  }
};

// Qt's file dialog with the configuration file filter, starting in the
// user's documents folder (then in the folder last chosen).
QString chooseConfigFile(QWidget* parent, FileDialogKind kind, const QString& title);
// A question box with the three answers in the chosen language.
UnsavedAnswer askUnsaved(QWidget* parent, const QString& question, const MemoryHost& host);

// The message after a file could not be read: the text of the file
// commands ("le fichier n'a pas été correctement ouvert" or "TRAME is not
// valid"), then the file and what was wrong with it.
QString readFailure(const config_file::ReadOutcome& outcome, const std::string& path);
// After a failed save: the file command's text, then why (the system's
// reason, which names the file) and that nothing changed.
QString saveFailure(const MemoryHost& host, const std::string& detail);
// "%s" of a text replaced by `value` (the whole text when it has none).
QString fillIn(const QString& text, const QString& value);

}  // namespace vrx4
