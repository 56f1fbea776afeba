// Panel window behaviour shared by the main window and the effect pages.
#include "skin/panel_window.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>

namespace kdsp::skin {

PanelWindow::PanelWindow(SkinImage background, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), background_(background) {
  // The client area is exactly the background picture.
  setFixedSize(ImageWidth(background), ImageHeight(background));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
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
  if (!hit && event->button() == Qt::LeftButton) startWindowMove(event->globalPosition().toPoint());
  update();
}

void PanelWindow::startWindowMove(QPoint globalPress) {
  if (QWindow* window = windowHandle(); window != nullptr && window->startSystemMove()) return;
  followingPointer_ = true;
  pressOffset_ = globalPress - pos();
}

void PanelWindow::mouseReleaseEvent(QMouseEvent* event) {
  followingPointer_ = false;
  const QPoint at = event->position().toPoint();
  FormMouseUp(at.x(), at.y());
  update();
}

void PanelWindow::mouseMoveEvent(QMouseEvent* event) {
  if (followingPointer_) {
    move(event->globalPosition().toPoint() - pressOffset_);
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
  update();
}

void PanelWindow::showEvent(QShowEvent* event) {
  if (openFlag_ != nullptr) *openFlag_ = 1;
  FormShow();
  QWidget::showEvent(event);
}

void PanelWindow::hideEvent(QHideEvent* event) {
  if (openFlag_ != nullptr) *openFlag_ = 0;
  FormClose();
  QWidget::hideEvent(event);
}

}  // namespace kdsp::skin
