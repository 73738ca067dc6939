// The window toolkit as the forms see it. Every text crossing this interface
// is Shift-JIS bytes; conversion to and from Unicode happens inside ui/.
// Controls are owned by their window and carry their layout name as the Qt
// object name; windows carry their form name ("Form1" ...).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "photo/jpeg.h"

class QWidget;

namespace kx::ui {

struct Font {
  enum Family { Proportional, Fixed };  // "ＭＳ Ｐゴシック" / "ＭＳ ゴシック"
  Family family = Proportional;
  int pixels = 12;
  bool bold = false;
  bool italic = false;
  unsigned rgb = 0x000000;  // text colour
};

class Window;

class Control {
 public:
  virtual ~Control();
  const std::string& name() const { return name_; }
  Window& window() const { return *window_; }

  void setVisible(bool v);
  bool isVisible() const;  // set visible, whatever the window's own state
  void setGeometry(int left, int top, int width, int height);
  void setFont(const Font& f);
  // Puts the keyboard focus (the cursor of an edit box) here.
  void setFocus();

  void onClick(std::function<void()> fn) { click_ = std::move(fn); }
  void onDblClick(std::function<void()> fn) { dblClick_ = std::move(fn); }
  // Runs the handler inside the guard (an escaping exception becomes a
  // message box). What the widget's own events and the driver call.
  void click();
  void dblClick();
  bool hasClick() const { return static_cast<bool>(click_); }
  bool hasDblClick() const { return static_cast<bool>(dblClick_); }

  QWidget* widget() const { return widget_; }

 protected:
  Control(Window& w, std::string name, QWidget* widget);
  Window* window_;
  std::string name_;
  QWidget* widget_;
  std::function<void()> click_, dblClick_;
};

class Label : public Control {
 public:
  Label(Window& w, std::string name);
  void setCaption(const std::string& sjis);
  const std::string& caption() const { return text_; }
 private:
  std::string text_;  // kept as bytes: a broken double-byte character survives
};

class Button : public Control {
 public:
  Button(Window& w, std::string name);
  void setCaption(const std::string& sjis);
  const std::string& caption() const { return text_; }
 private:
  std::string text_;
};

// Single-line edit box. text() reads what the user typed, converted to
// Shift-JIS; a character Shift-JIS cannot hold becomes 〓 and the user is told.
// A kana box reads as a kana key: hiragana and full-width katakana, typed or
// set, come back as half-width katakana (kanaKeyFromUnicode).
class Edit : public Control {
 public:
  Edit(Window& w, std::string name);
  void setText(const std::string& sjis);
  std::string text() const;
  // Whether the box shows other text than the program last set in it: the
  // user typed (or pasted) since.
  bool typedSinceSet() const;
  // What the box shows now counts as set: typing starts from here.
  void markUnchanged();
  void setReadOnly(bool ro);
  void setKana(bool on) { kana_ = on; }
  // Return or the keypad's Enter pressed in the box.
  void onEnter(std::function<void()> fn) { enter_ = std::move(fn); }
  void enter();  // guarded, like click()
  // Replaces the text as a user typing it would (the driver's `type`): the
  // text is Unicode, so the next text() converts it and tells the user.
  void typeUtf8(const std::string& utf8);
  // The text as a path in the file system's encoding, never through
  // Shift-JIS: a folder name Shift-JIS cannot hold still names its folder.
  std::string fileName() const;
  void setFileName(const std::string& path);
 private:
  // Unchanged text reads back as the exact bytes set, broken ones included.
  mutable std::string bytes_;
  mutable std::u16string shown_;
  std::u16string set_;  // as the program last set it
  bool kana_ = false;
  std::function<void()> enter_;
};

// Multi-line box; text() is the lines joined by "\n".
class Memo : public Control {
 public:
  Memo(Window& w, std::string name);
  void setText(const std::string& sjis);
  void setLines(const std::vector<std::string>& sjisLines);
  std::string text() const;
  void setReadOnly(bool ro);
  void typeUtf8(const std::string& utf8);  // as Edit::typeUtf8
 private:
  mutable std::string bytes_;
  mutable std::u16string shown_;
};

class RadioGroup : public Control {
 public:
  RadioGroup(Window& w, std::string name);
  void setCaption(const std::string& sjis);
  const std::string& caption() const;
  void setItems(const std::vector<std::string>& sjisItems, int columns = 1);
  void setItemIndex(int i);  // -1 selects none; beyond the items throws
  int itemIndex() const;
  int itemCount() const;
 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
};

// The pictures an image shows are the photo decoder's.
using kx::Picture;

// Shows a picture scaled down proportionally into its box, never enlarged.
class Image : public Control {
 public:
  Image(Window& w, std::string name);
  void setPicture(const Picture& p);
  // A picture decoded at a reduced size: the shown size is that of the
  // natural size fitted into the box, as if it had been decoded in full.
  void setPicture(const Picture& p, int naturalWidth, int naturalHeight);
  void clear();
  int shownWidth() const { return shownW_; }   // 0 when empty
  int shownHeight() const { return shownH_; }
 private:
  int shownW_ = 0, shownH_ = 0;
};

class Window {
 public:
  Window(std::string formName, const std::string& sjisCaption, int width, int height);
  virtual ~Window();
  const std::string& name() const { return name_; }

  void setCaption(const std::string& sjis);
  // The title as the title bar shows it: the caption and the note.
  std::string caption() const { return caption_ + titleNote(); }
  void setFont(const Font& f);  // the window's default font
  // What every window's title ends in, those built later included (a store
  // that cannot be changed says so everywhere); "" for nothing.
  static void setTitleNote(const std::string& sjis);
  static const std::string& titleNote();

  // Where the window stands on the screen (its frame's corner) and its size.
  struct Place { int left, top, width, height; };
  Place place() const;
  void moveTo(int left, int top);  // as the user drags it

  void show();          // shows and brings to the front
  void hide();          // hides without the close hook
  void close();         // runs the close hook (FormClose), then hides
  bool isShown() const;
  // Shows the window and lets it paint before long work starts.
  void showAndPaint();

  void onClose(std::function<void()> fn) { onClose_ = std::move(fn); }
  void onBackgroundClick(std::function<void()> fn) { bgClick_ = std::move(fn); }
  void backgroundClick();  // guarded, like Control::click
  bool hasBackgroundClick() const { return static_cast<bool>(bgClick_); }
  // The Escape key pressed anywhere in the window.
  void onEscape(std::function<void()> fn) { escape_ = std::move(fn); }
  void escape();  // guarded

  // Control factories: the window owns what they return.
  Label* addLabel(const std::string& name, int left, int top, const std::string& caption = {});
  Button* addButton(const std::string& name, int left, int top, int width, int height,
                    const std::string& caption);
  Edit* addEdit(const std::string& name, int left, int top, int width, int height = 21);
  Memo* addMemo(const std::string& name, int left, int top, int width, int height);
  RadioGroup* addRadioGroup(const std::string& name, int left, int top, int width, int height,
                            const std::string& caption, const std::vector<std::string>& items,
                            int columns = 1);
  Image* addImage(const std::string& name, int left, int top, int width, int height);

  Control* find(const std::string& controlName) const;
  QWidget* widget() const;

  // Every window created, in creation order; the driver finds them here.
  static const std::vector<Window*>& all();
  static Window* byName(const std::string& formName);
  // Asked by byName for a name no window has yet: the program builds its
  // windows when first needed, and this builds one on demand.
  static void setLateBuilder(std::function<Window*(const std::string&)> build);

 private:
  friend class Control;
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string name_;
  std::string caption_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::function<void()> onClose_, bgClick_, escape_;
  bool placed_ = false;  // put where it was left, once
};

// Runs fn; an escaping exception is shown in a message box and swallowed so
// the event loop goes on.
void guarded(const std::function<void()>& fn);

}  // namespace kx::ui

namespace kx::ui {
// Ends the program (the main menu closed), noting where every window on
// screen stands. The driver checks the flag after every command instead of
// running an event loop.
void quitApplication();
bool quitRequested();
}  // namespace kx::ui
