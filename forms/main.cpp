// The program: the twelve windows over the store files of the working
// directory, until the main menu closes.
#include "forms/app.h"
#include "forms/unit1.h"
#include "ui/services.h"
#include "ui/toolkit.h"

int main(int argc, char** argv) {
  kx::ui::Toolkit toolkit(argc, argv);
  kx::ui::DesktopServices services;
  kx::ui::setServices(&services);
  kx::App app(".", services);
  app.createForms();
  app.Form1->show();
  return toolkit.exec();
}
