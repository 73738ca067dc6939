// How one window sends the user on to another without knowing it: the one
// object that owns the windows (forms/windows.h) carries these out.
#pragma once

#include <string>

#include "store/model.h"

namespace kx {

struct Picture;  // photo/jpeg.h

class Navigator {
 public:
  virtual ~Navigator() = default;

  virtual void openList(ListOrder order) = 0;  // from the main menu
  // The list the view was opened from (the view's CLOSE), and a list drawn
  // again from the session's list position.
  virtual void returnToList() = 0;
  virtual void redrawList(ListOrder order) = 0;
  // The view, filled from the session's current entry.
  virtual void showEntry() = 0;
  virtual void showEntryUnchanged() = 0;  // the update form's CLOSE
  // The five secret lines: of the entry at the list position, or of the
  // current entry (the result browser).
  virtual void showSecretsAtListPosition() = 0;
  virtual void showSecretsOfCurrentEntry() = 0;
  virtual void showPhoto(const Picture& picture, int naturalWidth, int naturalHeight) = 0;
  // The update form on the current entry; the lists and the view close.
  virtual void openEditor() = 0;
  // After a delete: the main menu alone.
  virtual void backToMainMenu() = 0;
  virtual void openAddForm() = 0;
  virtual void openImport() = 0;
  virtual void openCsvInput() = 0;
  // The print window, on the entry on view when the view shows one.
  virtual void openPrint() = 0;
  // The history of changes; the likely duplicates, all of them or (newFrom
  // >= 0) those of the entries an import added from newFrom on.
  virtual void openHistory() = 0;
  virtual void openDuplicates(int newFrom) = 0;
  // After an import: when it brought likely duplicates, asks whether to see
  // them and opens the duplicates window on them.
  virtual void offerDuplicatesOfImport() = 0;

  // The search walk: the browser on the entry found, the text in the main
  // menu's search box, and the walk's end (the box and OK go).
  virtual void showSearchResult() = 0;
  virtual std::string searchInput() = 0;
  virtual void searchRanOut() = 0;
};

}  // namespace kx
