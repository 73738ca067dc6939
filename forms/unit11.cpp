#include "forms/unit11.h"

#include "store/person_files.h"
#include "ui/services.h"

namespace kx {

TForm11::TForm11(Session& s, Navigator&) : ui::Window("Form11", "PHOTO", 392, 393), session(s) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
  Button2 = addButton("Button2", 152, 0, 65, 25, "FILES");
  Button1 = addButton("Button1", 216, 0, 65, 25, "ORIGINAL");
  Button3 = addButton("Button3", 280, 0, 65, 25, "CLOSE");
  Button1->onClick([this] { Button1Click(); });
  Button2->onClick([this] { Button2Click(); });
  Button3->onClick([this] { Button3Click(); });
  onEscape([this] { Button3Click(); });
  Image1 = addImage("Image1", 8, 24, 361, 353);
}

void TForm11::showPhoto(const ui::Picture& picture, int naturalWidth, int naturalHeight) {
  Image1->setPicture(picture, naturalWidth, naturalHeight);
  show();
}

// The file of the picture last loaded, whichever entry is current now.
void TForm11::Button1Click() {
  if (!session.shownPhotoFile().empty()) ui::services().openFile(session.shownPhotoFile());
}

// The folder of the current entry, whichever picture is shown.
void TForm11::Button2Click() {
  const auto number = session.currentPersonalNumber();
  if (!number) return;
  const std::string folder = personFolderName(*number);
  if (!ui::services().exists(folder)) {
    ui::services().show("No File");
    return;
  }
  ui::services().browseFolder(folder);
}

void TForm11::Button3Click() { close(); }

}  // namespace kx
