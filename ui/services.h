// What the program asks of the desktop: the modal message box, opening a
// file or a folder, and file status. The desktop implementation talks to the
// real desktop; the recording one (driver, tests) only notes what was asked.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "store/message_sink.h"

class QPrinter;

namespace kx::ui {

class Services : public MessageSink {
 public:
  // MessageSink::show(text): a modal message box with one OK button.
  // A modal question with Yes and No (No the default); true for Yes.
  virtual bool ask(const std::string& question) = 0;

  // A file with the desktop's default action, a folder in the file browser.
  // The desktop would fail on a missing name without a word to the user, and
  // may refuse a name outright: either way the user gets a message box that
  // names it.
  void openFile(const std::string& sjisName);
  void browseFolder(const std::string& sjisName);
  virtual bool exists(const std::string& sjisName) = 0;  // relative to the working directory
  // Lets the user choose a file (existing or new) or a folder, starting at
  // `start`. Paths are in the file system's encoding, not Shift-JIS: a path
  // is handed on to the file system as it is. "" when the user cancels.
  enum class Pick { File, Folder };
  virtual std::string pickPath(Pick kind, const std::string& start) = 0;
  // The desktop's print dialog on a printer set up for the pages; false
  // when the user cancels.
  virtual bool choosePrinter(QPrinter& printer) = 0;

 protected:
  // The request itself, for a name that exists; false when the desktop refused it.
  virtual bool desktopOpen(const std::string& sjisName) = 0;
  virtual bool desktopBrowse(const std::string& sjisName) = 0;
};

// What the user is told by openFile and browseFolder, followed by the name;
// the refusal (UTF-8) says why: the desktop has no program for it.
inline constexpr const char* kMissingFileMessage = "FILE NOT FOUND: ";
inline constexpr const char8_t* kRefusedOpenMessage = u8"開くためのプログラムがありません: ";

class DesktopServices : public Services {
 public:
  void show(const std::string& text) override;
  bool ask(const std::string& question) override;
  bool exists(const std::string& name) override;
  std::string pickPath(Pick kind, const std::string& start) override;
  bool choosePrinter(QPrinter& printer) override;

 protected:
  bool desktopOpen(const std::string& name) override;
  bool desktopBrowse(const std::string& name) override;
};

// Notes every request as a line ("MSG text", "ASK text", "OPEN name",
// "BROWSE name", "PICK FILE", "PICK FOLDER" or "PICK PRINTER"; texts in
// Shift-JIS) and passes it to an optional listener at once. A picker (the
// print dialog too) is always cancelled: nobody is there; a question gets
// the answer set beforehand.
class RecordingServices : public Services {
 public:
  void show(const std::string& text) override;
  bool ask(const std::string& question) override;
  bool answer = false;  // what ask() says
  bool exists(const std::string& name) override;
  std::string pickPath(Pick kind, const std::string& start) override;
  bool choosePrinter(QPrinter& printer) override;

  struct Event { enum Kind { Msg, Open, Browse, Pick, Ask } kind; std::string text; };
  std::vector<Event> events;
  std::function<void(const Event&)> listener;
  // Names the desktop is to refuse, as a desktop without a viewer for them would.
  std::set<std::string> refused;

 protected:
  bool desktopOpen(const std::string& name) override;
  bool desktopBrowse(const std::string& name) override;

 private:
  void record(Event e);
};

// A path in the file system's encoding as Shift-JIS text for a message;
// a character Shift-JIS cannot hold shows as 〓.
std::string pathText(const std::string& path);

// The one services object of the process, set by main or the driver.
Services& services();
void setServices(Services* s);

}  // namespace kx::ui
