// File-mode work that was not saved when the program was ended by
// something other than the user: a signal (SIGTERM, SIGHUP, SIGINT: a
// logout, `kill`, the terminal going away) or another client destroying the
// window. Nobody is there to answer the unsaved-changes question then, so
// the work is written to a recovery copy (the file itself is never
// touched), its path is said on stderr, and the next start offers to open
// it. An opened copy comes back as unsaved changes to the file it belongs
// to: Save writes them there, and Close or EXIT ask first.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace vrx4 {

class CVRX4App;

enum class KeptWorkAnswer { Open, Discard, Later };

class CKeptWork {
 public:
  // The question at start; replaceable, so that tests answer it.
  using Question = std::function<KeptWorkAnswer(QWidget* parent, const QString& text)>;

  explicit CKeptWork(CVRX4App& app) : m_app(app) {}

  // Where copies are written and offered from (the program's state folder).
  // Empty: none are offered, and a copy goes next to the file it belongs to.
  void setFolder(std::string folder) { m_folder = std::move(folder); }
  const std::string& folder() const { return m_folder; }
  void setQuestion(Question question) { m_question = std::move(question); }

  // At start, once the window is shown: each copy of the folder, newest
  // first, until one is opened. Discard deletes the copy, Later keeps it.
  void Offer();
  // The window closes. When the session ends it, unsaved file-mode work
  // is written to a copy. A copy opened at start is deleted once its work
  // is saved, discarded or kept in a new copy.
  void AtClose(bool sessionEnds);

  const std::string& openedCopy() const { return m_openedCopy; }

 private:
  KeptWorkAnswer ask(const QString& text);

  CVRX4App& m_app;
  std::string m_folder;
  Question m_question;
  std::string m_openedCopy;
};

}  // namespace vrx4
