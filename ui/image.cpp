// Image: a picture scaled down into the control's box, kept at the top left.
#include <stdexcept>

#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "ui/controls.h"
#include "photo/jpeg.h"
#include "ui/widget_support.h"

namespace kx::ui {

Image::Image(Window& w, std::string name) : Control(w, std::move(name), new QLabel(w.widget())) {
  static_cast<QLabel*>(widget_)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  detail::installMouseClicks(this);
}

void Image::setPicture(const Picture& p) { setPicture(p, p.width, p.height); }

void Image::setPicture(const Picture& p, int naturalWidth, int naturalHeight) {
  if (p.width <= 0 || p.height <= 0) {
    clear();
    return;
  }
  if (p.rgb.size() < static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 3)
    throw std::invalid_argument("picture data shorter than its size");
  const PictureSize shown =
      fitInBox(naturalWidth, naturalHeight, widget_->width(), widget_->height());
  if (shown.width <= 0 || shown.height <= 0) {
    clear();
    return;
  }
  // QImage only borrows the rows; scaled() makes the copy that is kept.
  const QImage rows(p.rgb.data(), p.width, p.height, p.width * 3, QImage::Format_RGB888);
  const QImage fitted = rows.size() == QSize(shown.width, shown.height)
                            ? rows.copy()
                            : rows.scaled(shown.width, shown.height, Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation);
  static_cast<QLabel*>(widget_)->setPixmap(QPixmap::fromImage(fitted));
  shownW_ = shown.width;
  shownH_ = shown.height;
}

void Image::clear() {
  static_cast<QLabel*>(widget_)->clear();
  shownW_ = shownH_ = 0;
}

}  // namespace kx::ui
