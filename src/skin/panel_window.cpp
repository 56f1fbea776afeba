// Panel window behaviour shared by the main window and the effect pages.
#include "skin/panel_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>

namespace kdsp::skin {

PanelWindow::PanelWindow(SkinImage background, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      background_(background),
      drag_(QApplication::startDragDistance()) {
  // The client area is exactly the background picture.
  setFixedSize(ImageWidth(background), ImageHeight(background));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  flashTimer_.setSingleShot(true);
  flashTimer_.setInterval(kRefusalFlashMs);
  connect(&flashTimer_, &QTimer::timeout, this, &PanelWindow::endRefusalFlashes);
}

void PanelWindow::endRefusalFlashes() {
  flashTimer_.stop();
  controls_.endFlashes();
  update();
}

void PanelWindow::startFlashOnRefusal() {
  if (controls_.anyFlashing()) flashTimer_.start();
}

void PanelWindow::paintAll(QImage& surface) {
  QPainter painter(&surface);
  PrepareSurface(painter);
  DrawImageAt(painter, background_, 0, 0);
  FormPaint(painter);
}

QImage PanelWindow::render() {
  QImage surface = MakeSurface(width(), height());
  paintAll(surface);
  return surface;
}

void PanelWindow::paintEvent(QPaintEvent*) {
  // The whole window is drawn off screen and copied in one operation, so no half-drawn frame
  // is ever visible.
  QImage surface = render();
  QPainter window(this);
  window.drawImage(QPoint(0, 0), surface);
}

void PanelWindow::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const bool hit = FormMouseDown(at.x(), at.y(), event->button());
  if (!hit && event->button() == Qt::LeftButton)
    drag_.press(event->globalPosition().toPoint(), pos());
  startFlashOnRefusal();
  update();
}

void PanelWindow::startWindowMove(QPoint) {
  // The window system sees the release itself and ends its move there.
  if (QWindow* window = windowHandle(); window != nullptr && window->startSystemMove())
    drag_.release();
}

void PanelWindow::mouseReleaseEvent(QMouseEvent* event) {
  drag_.release();
  const QPoint at = event->position().toPoint();
  FormMouseUp(at.x(), at.y());
  update();
}

void PanelWindow::mouseMoveEvent(QMouseEvent* event) {
  const QPoint global = event->globalPosition().toPoint();
  const WindowDrag::Step step = drag_.move(global, (event->buttons() & Qt::LeftButton) != 0);
  if (step == WindowDrag::Step::kStartMove) startWindowMove(drag_.pressPoint());
  if (step != WindowDrag::Step::kNothing) {
    if (drag_.following()) move(drag_.windowPosFor(global));
    return;
  }
  const QPoint at = event->position().toPoint();
  FormMouseMove(at.x(), at.y());
  update();
}

void PanelWindow::wheelEvent(QWheelEvent* event) {
  const QPoint at = event->position().toPoint();
  FormMouseWheel(event->angleDelta().y(), at.x(), at.y());
  update();
}

void PanelWindow::keyPressEvent(QKeyEvent* event) {
  FormKeyDown(event->key());
  // Characters go to the value boxes; the arrow keys carry none.
  const QString text = event->text();
  if (text.size() == 1 && text[0].unicode() < 128)
    FormKeyPress(static_cast<char>(text[0].unicode()));
  startFlashOnRefusal();
  update();
}

void PanelWindow::showEvent(QShowEvent* event) {
  if (openFlag_ != nullptr) *openFlag_ = 1;
  FormShow();
  QWidget::showEvent(event);
}

void PanelWindow::hideEvent(QHideEvent* event) {
  drag_.release();
  if (openFlag_ != nullptr) *openFlag_ = 0;
  FormClose();
  QWidget::hideEvent(event);
}

}  // namespace kdsp::skin
