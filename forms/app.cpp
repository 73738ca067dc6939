#include "forms/app.h"

#include <utility>

#include "forms/unit12.h"
#include "forms/unit9.h"
#include "forms/unit2.h"
#include "forms/unit5.h"
#include "forms/unit11.h"
#include "forms/unit3.h"
#include "forms/unit4.h"
#include "forms/unit6.h"
#include "forms/unit7.h"
#include "forms/unit8.h"
#include "forms/unit10.h"
#include "forms/unit1.h"

namespace kx {

App::App(std::string directory, ui::Services& svc)
    : dir(std::move(directory)),
      services(svc),
      storePtr(makeStore()),
      store(*storePtr) {}

App::~App() = default;

void App::createForms() {
  // Form1 first: its creation loads the store, so the load's messages come
  // before any other window exists.
  Form1 = std::make_unique<TForm1>(*this);
  Form2 = std::make_unique<TForm2>(*this);
  Form3 = std::make_unique<TForm3>(*this);
  Form4 = std::make_unique<TForm4>(*this);
  Form5 = std::make_unique<TForm5>(*this);
  Form6 = std::make_unique<TForm6>(*this);
  Form7 = std::make_unique<TForm7>(*this);
  Form8 = std::make_unique<TForm8>(*this);
  Form9 = std::make_unique<TForm9>(*this);
  Form10 = std::make_unique<TForm10>(*this);
  Form11 = std::make_unique<TForm11>(*this);
  Form12 = std::make_unique<TForm12>(*this);
}

}  // namespace kx
