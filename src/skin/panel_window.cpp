// SPDX-License-Identifier: GPL-3.0-or-later
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
  updateChanged();
}

void PanelWindow::startFlashOnRefusal() {
  if (controls_.anyFlashing()) flashTimer_.start();
}

const QImage& PanelWindow::staticLayer(qreal ratio) {
  if (staticLayer_.isNull() || staticLayer_.devicePixelRatio() != ratio) {
    staticLayer_ = MakeSurface(width(), height(), ratio);
    QPainter painter(&staticLayer_);
    PrepareSurface(painter);
    DrawImageAt(painter, background_, 0, 0);
    FormPaintStatic(painter);
  }
  return staticLayer_;
}

void PanelWindow::paintInto(QImage& surface, const QRegion& region) {
  const QImage& layer = staticLayer(surface.devicePixelRatio());
  QPainter painter(&surface);
  painter.setClipRegion(region);
  // The static layer replaces what was there, so a repainted area starts from the background.
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(QPoint(0, 0), layer);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  PrepareSurface(painter);
  FormPaint(painter);
}

QImage PanelWindow::render() {
  QImage surface = MakeSurface(width(), height(), devicePixelRatioF());
  paintInto(surface, QRegion(rect()));
  return surface;
}

QRegion PanelWindow::takeChangedRegion() {
  return paintOrder_.takeChangedRegion() | FormTakeChangedRegion();
}

void PanelWindow::updateChanged() {
  const QRegion changed = takeChangedRegion();
  if (!changed.isEmpty()) update(changed);
}

void PanelWindow::paintEvent(QPaintEvent* event) {
  const qreal ratio = devicePixelRatioF();
  QRegion region = event->region();
  if (frame_.isNull() || frame_.devicePixelRatio() != ratio) {
    // First paint, or the window is on a screen of another scale now: everything anew.
    frame_ = MakeSurface(width(), height(), ratio);
    region = QRegion(rect());
  }
  // A change made without asking for a repaint is drawn now as well and shown by the next paint.
  const QRegion missed = takeChangedRegion() - region;
  lastPainted_ = region | missed;
  paintInto(frame_, lastPainted_);
  if (!missed.isEmpty()) update(missed);
  // The window is drawn off screen and copied in one operation, so no half-drawn frame is ever
  // visible.
  QPainter window(this);
  window.setCompositionMode(QPainter::CompositionMode_Source);
  window.drawImage(QPoint(0, 0), frame_);
}

void PanelWindow::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const bool hit = FormMouseDown(at.x(), at.y(), event->button());
  if (!hit && event->button() == Qt::LeftButton)
    drag_.press(event->globalPosition().toPoint(), pos());
  startFlashOnRefusal();
  updateChanged();
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
  updateChanged();
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
  updateChanged();
}

void PanelWindow::wheelEvent(QWheelEvent* event) {
  const QPoint at = event->position().toPoint();
  FormMouseWheel(event->angleDelta().y(), at.x(), at.y());
  updateChanged();
}

void PanelWindow::keyPressEvent(QKeyEvent* event) {
  FormKeyDown(event->key());
  // Characters go to the value boxes; the arrow keys carry none.
  const QString text = event->text();
  if (text.size() == 1 && text[0].unicode() < 128)
    FormKeyPress(static_cast<char>(text[0].unicode()));
  startFlashOnRefusal();
  updateChanged();
}

void PanelWindow::showEvent(QShowEvent* event) {
  if (openFlag_ != nullptr) *openFlag_ = 1;
  FormShow();
  QWidget::showEvent(event);
}

void PanelWindow::hideEvent(QHideEvent* event) {
  drag_.release();
  if (openFlag_ != nullptr) *openFlag_ = 0;
  // A hidden window keeps no pictures of itself; the first paint after showing builds them.
  staticLayer_ = QImage();
  frame_ = QImage();
  FormClose();
  QWidget::hideEvent(event);
}

}  // namespace kdsp::skin
