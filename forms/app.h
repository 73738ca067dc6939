// The application object: owns the store, every piece of shared state and
// the twelve windows. main() and the driver make exactly one; tests make
// their own.
#pragma once

#include <memory>
#include <string>

#include "search/search_state.h"
#include "store/model.h"
#include "store/store_lock.h"
#include "ui/services.h"

namespace kx {

// The operation the update form has armed.
enum class PendingOp { None = 0, Update = 1, Delete = 2 };

class TForm1; class TForm2; class TForm3; class TForm4; class TForm5; class TForm6;
class TForm7; class TForm8; class TForm9; class TForm10; class TForm11; class TForm12;

class App {
 public:
  App(std::string dir, ui::Services& services);
  ~App();

  // Creates Form1 .. Form12 in that order; Form1's creation loads the store.
  void createForms();

  std::string dir;  // the working directory every file is named in
  ui::Services& services;
  std::unique_ptr<Store> storePtr;
  Store& store;
  StoreLock lock;  // taken by the start-up load, held until the program ends
  Cursors cur;
  SearchState search;
  ListOrder viewOrigin = ListOrder::None;  // the order the view was last filled from
  std::string photoFile;                   // the photo file name PHOTO last built
  PendingOp pendingOp = PendingOp::None;   // what the update form's EXECUTE carries out
  int pendingHighest = 0;  // update form: highest personal data number while it is open

  std::unique_ptr<TForm1> Form1;
  std::unique_ptr<TForm2> Form2;
  std::unique_ptr<TForm3> Form3;
  std::unique_ptr<TForm4> Form4;
  std::unique_ptr<TForm5> Form5;
  std::unique_ptr<TForm6> Form6;
  std::unique_ptr<TForm7> Form7;
  std::unique_ptr<TForm8> Form8;
  std::unique_ptr<TForm9> Form9;
  std::unique_ptr<TForm10> Form10;
  std::unique_ptr<TForm11> Form11;
  std::unique_ptr<TForm12> Form12;
};

}  // namespace kx
