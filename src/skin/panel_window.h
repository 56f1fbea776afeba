// SPDX-License-Identifier: GPL-3.0-or-later
// A skinned panel window: a borderless top-level window whose client area is one background
// picture with the skin controls drawn over it, in logical pixels of the 999 x 600 grid whatever
// the screen's scale. The window paints into an off-screen picture at its screen's device pixel
// ratio, so text, lines and pictures are drawn at the screen's own resolution, and repaints at
// the new ratio when it moves to a screen of another scale. What never changes while the window
// is shown (the background and what the window adds to it once) is kept as a static layer per
// ratio; every event is offered to the window's controls (in the window's own fixed order) and
// then only what changed is repainted. A left press on the background followed by a drag moves
// the window. A value box that refused an entry flashes for a moment.
#pragma once

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <string>

#include "skin/control_list.h"
#include "skin/skin_drawing.h"
#include "skin/window_drag.h"

namespace kdsp::skin {

class PanelWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PanelWindow(SkinImage background, QWidget* parent = nullptr);

  // The flag this window keeps set while it is shown, or none.
  void setOpenFlag(std::uint8_t* flag) { openFlag_ = flag; }
  SkinImage background() const { return background_; }

  // The whole window as it is painted, at the window's device pixel ratio (999 x 600 logical
  // pixels are 1998 x 1200 at 2), for checks and screenshots.
  QImage render();
  // The window as last painted and the area that paint redrew, for checks and benchmarks.
  const QImage& frame() const { return frame_; }
  const QRegion& lastPaintedRegion() const { return lastPainted_; }
  // The ratio of the static layer last built, or 0 before the first paint and while hidden.
  qreal paintedRatio() const { return staticLayer_.isNull() ? 0 : staticLayer_.devicePixelRatio(); }

  // How long a value box that refused an entry flashes.
  static constexpr int kRefusalFlashMs = 600;
  // Ends the flash of every value box and repaints; the flash timer calls it.
  void endRefusalFlashes();
  bool refusalFlashRunning() const { return flashTimer_.isActive(); }

  // The name a user knows the control under a client point by ("Main Music fader", "Mic
  // Equalizer band 3"), for naming what a press there edits; empty where no setting is edited.
  std::string controlNameAt(int x, int y) const { return FormControlName(x, y); }

 protected:
  // The window's controls in their fixed event order; the handlers below offer every event to
  // every one of them.
  ControlList& controls() { return controls_; }
  // The window's controls in drawing order. FormPaint draws them; the window repaints a control's
  // area whenever its picture changed.
  ControlList& paintOrder() { return paintOrder_; }

  // What the window paints, in client coordinates: FormPaintStatic, once per ratio, what stays as
  // it is while the window is shown; FormPaint the rest, clipped to the area being repainted.
  // FormTakeChangedRegion names what the window draws besides its controls and that changed
  // since it was last asked: the area to repaint.
  virtual void FormPaintStatic(QPainter&) {}
  virtual void FormPaint(QPainter& painter) = 0;
  virtual QRegion FormTakeChangedRegion() { return {}; }
  // What controlNameAt answers: the name of the control whose hit area holds the client point.
  virtual std::string FormControlName(int, int) const { return {}; }

  // The window's handlers, in client coordinates. FormMouseDown returns whether any control
  // (or the chart) was hit; a left press that hits nothing and then drags moves the window.
  virtual bool FormMouseDown(int x, int y, Qt::MouseButton) { return controls_.mouseDown(x, y); }
  virtual void FormMouseUp(int, int) { controls_.mouseUp(); }
  virtual void FormMouseMove(int x, int y) { controls_.mouseMove(x, y); }
  virtual void FormMouseWheel(int delta, int x, int y) { controls_.wheel(delta, x, y); }
  virtual void FormKeyDown(int key) { controls_.keyDown(key); }
  virtual void FormKeyPress(char ch) { controls_.keyPress(ch); }
  virtual void FormShow() {}
  virtual void FormClose() {}

  // Called once a background drag has travelled far enough, with the button still held. Hands
  // the move to the window system (X11 and Wayland move the window themselves); where it
  // cannot, the window follows the pointer until the button is released.
  virtual void startWindowMove(QPoint globalPress);

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

  // Asks for a repaint of what changed: the controls whose picture changed and what
  // FormTakeChangedRegion names.
  void updateChanged();

 private:
  QRegion takeChangedRegion();
  // The background and FormPaintStatic at a ratio, built when the ratio changes.
  const QImage& staticLayer(qreal ratio);
  // The static layer, then FormPaint, inside the region of a surface.
  void paintInto(QImage& surface, const QRegion& region);
  // After an event that may have committed an entry: a refusal starts (or restarts) the flash.
  void startFlashOnRefusal();

  SkinImage background_;
  ControlList controls_;
  ControlList paintOrder_;
  QImage staticLayer_;
  QImage frame_;  // the window as last painted, at its ratio
  QRegion lastPainted_;
  std::uint8_t* openFlag_ = nullptr;
  WindowDrag drag_;
  QTimer flashTimer_;
};

}  // namespace kdsp::skin
