// What the program asks of the desktop: the modal message box, opening a
// file or a folder, and file status. The desktop implementation talks to the
// real desktop; the recording one (driver, tests) only notes what was asked.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "store/message_sink.h"

namespace kx::ui {

class Services : public MessageSink {
 public:
  // MessageSink::show(text): a modal message box with one OK button.
  virtual void openFile(const std::string& sjisName) = 0;      // default action
  virtual void browseFolder(const std::string& sjisName) = 0;  // file browser
  virtual bool exists(const std::string& sjisName) = 0;        // relative to the working directory
};

class DesktopServices : public Services {
 public:
  void show(const std::string& text) override;
  void openFile(const std::string& name) override;
  void browseFolder(const std::string& name) override;
  bool exists(const std::string& name) override;
};

// Notes every request as a line ("MSG text", "OPEN name", "BROWSE name",
// texts in Shift-JIS) and passes it to an optional listener at once.
class RecordingServices : public Services {
 public:
  void show(const std::string& text) override;
  void openFile(const std::string& name) override;
  void browseFolder(const std::string& name) override;
  bool exists(const std::string& name) override;

  struct Event { enum Kind { Msg, Open, Browse } kind; std::string text; };
  std::vector<Event> events;
  std::function<void(const Event&)> listener;

 private:
  void record(Event e);
};

// The one services object of the process, set by main or the driver.
Services& services();
void setServices(Services* s);

}  // namespace kx::ui
