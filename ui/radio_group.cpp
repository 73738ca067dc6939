// Radio group: a framed box with a caption and exclusive items laid out in
// columns, filled column by column, and an item index (-1 = none).
#include <algorithm>
#include <functional>
#include <stdexcept>

#include <QButtonGroup>
#include <QFontMetrics>
#include <QGroupBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QResizeEvent>

#include "ui/controls.h"
#include "ui/encoding.h"

namespace kx::ui {

namespace {

class RadioBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;
  std::function<void()> onResize;

 protected:
  // The box's own area takes the click, as the items do: it is no click on
  // the window behind it.
  void mousePressEvent(QMouseEvent* e) override {
    QGroupBox::mousePressEvent(e);
    e->accept();
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    QGroupBox::mouseReleaseEvent(e);
    e->accept();
  }
  void resizeEvent(QResizeEvent* e) override {
    QGroupBox::resizeEvent(e);
    if (onResize) onResize();
  }
};

}  // namespace

struct RadioGroup::Impl {
  RadioBox* box = nullptr;
  QButtonGroup* group = nullptr;
  std::vector<QRadioButton*> buttons;
  int columns = 1;
  std::string caption;

  void arrange() {
    const int n = static_cast<int>(buttons.size());
    if (n == 0) return;
    const int cols = std::clamp(columns, 1, n);
    const int perColumn = (n + cols - 1) / cols;
    const int titleHeight = QFontMetrics(box->font()).height();
    const int top = titleHeight + 1;
    const int rowHeight = std::max(1, (box->height() - top - 4) / perColumn);
    const int columnWidth = std::max(1, (box->width() - 10) / cols);
    for (int i = 0; i < n; ++i) {
      buttons[i]->setGeometry(8 + (i / perColumn) * columnWidth, top + (i % perColumn) * rowHeight,
                              columnWidth - 2, rowHeight);
    }
  }
};

RadioGroup::RadioGroup(Window& w, std::string name)
    : Control(w, std::move(name), new RadioBox(w.widget())), impl_(std::make_shared<Impl>()) {
  impl_->box = static_cast<RadioBox*>(widget_);
  impl_->group = new QButtonGroup(impl_->box);
  impl_->group->setExclusive(true);
  impl_->box->onResize = [impl = impl_.get()] { impl->arrange(); };
  QObject::connect(impl_->group, &QButtonGroup::idClicked, impl_->box, [this](int) { click(); });
}

void RadioGroup::setCaption(const std::string& sjis) {
  impl_->caption = sjis;
  impl_->box->setTitle(toUnicode(sjis).replace(u'&', QStringLiteral("&&")));
}

const std::string& RadioGroup::caption() const { return impl_->caption; }

void RadioGroup::setItems(const std::vector<std::string>& sjisItems, int columns) {
  for (QRadioButton* b : impl_->buttons) {
    impl_->group->removeButton(b);
    delete b;
  }
  impl_->buttons.clear();
  impl_->columns = columns;
  for (size_t i = 0; i < sjisItems.size(); ++i) {
    auto* b = new QRadioButton(toUnicode(sjisItems[i]).replace(u'&', QStringLiteral("&&")),
                               impl_->box);
    b->setObjectName(QString::fromStdString(name_) + QStringLiteral("_") + QString::number(i));
    impl_->group->addButton(b, static_cast<int>(i));
    b->setVisible(true);
    impl_->buttons.push_back(b);
  }
  impl_->arrange();
}

void RadioGroup::setItemIndex(int i) {
  if (i < -1 || i >= itemCount())
    throw std::out_of_range("radio group " + name_ + ": no item " + std::to_string(i));
  if (i >= 0) {
    impl_->buttons[static_cast<size_t>(i)]->setChecked(true);
    return;
  }
  // An exclusive group never lets its last checked button go.
  impl_->group->setExclusive(false);
  for (QRadioButton* b : impl_->buttons) b->setChecked(false);
  impl_->group->setExclusive(true);
}

int RadioGroup::itemIndex() const { return impl_->group->checkedId(); }

int RadioGroup::itemCount() const { return static_cast<int>(impl_->buttons.size()); }

}  // namespace kx::ui
