// SPDX-License-Identifier: GPL-3.0-or-later
// Placement helpers and the outer-size keeper of the small dialogs.
#include "pages/dialog_widgets.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QSlider>
#include <QWidget>
#include <algorithm>
#include <string>
#include <utility>

namespace kdsp::pages {
namespace {

constexpr int kEditHeight = 21;

// The frame margins are known only once the window manager has framed the window, which it
// does after the show and announces with a move or a resize.
class OuterSizeKeeper : public QObject {
 public:
  OuterSizeKeeper(QWidget& window, QSize outer) : QObject(&window), window_(window), outer_(outer) {
    window_.resize(outer_);
    window_.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_) {
      const QEvent::Type type = event->type();
      if (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) fit();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void fit() {
    if (!window_.isVisible()) return;
    const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
    if (frame == applied_) return;
    applied_ = frame;
    window_.resize(outer_ - frame);
  }

  QWidget& window_;
  QSize outer_;
  QSize applied_{0, 0};
};

}  // namespace

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString DialogText(std::string_view english) {
  return QCoreApplication::translate("Dialogs", std::string(english).c_str());
}

QLabel* PlaceLabel(QWidget& parent, std::string_view name, QString text, QPoint at, int width) {
  auto* label = new QLabel(std::move(text), &parent);
  label->setObjectName(Text(name));
  label->adjustSize();
  label->setGeometry(QRect(at, QSize(std::max(width, label->width()), label->height())));
  return label;
}

QLineEdit* PlaceEdit(QWidget& parent, std::string_view name, QPoint at, int width) {
  auto* edit = new QLineEdit(&parent);
  edit->setObjectName(Text(name));
  edit->setGeometry(QRect(at, QSize(width, kEditHeight)));
  return edit;
}

QSlider* PlaceTrackBar(QWidget& parent, std::string_view name, QRect rect, int max) {
  auto* slider = new QSlider(Qt::Horizontal, &parent);
  slider->setObjectName(Text(name));
  slider->setGeometry(rect);
  slider->setRange(0, max);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  slider->setSingleStep(1);
  slider->setPageStep(2);
  return slider;
}

void KeepOuterSize(QWidget& window, QSize outer) {
  new OuterSizeKeeper(window, outer);
}

}  // namespace kdsp::pages
