// SPDX-License-Identifier: GPL-3.0-or-later
// Typed handlers for the skin controls. The controls call plain functions with untyped user data;
// here a window's member function becomes such a function together with the user data that
// leads back to the window (and, for a row of controls, to the control's index in the row), so no
// window casts user data or measures where a control sits in its array.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "skin/control_callbacks.h"
#include "skin/img_button.h"
#include "skin/img_edit.h"

namespace kdsp::skin {

// The user data of control i of any of a window's rows: the window and i.
template <class Window>
struct RowMember {
  Window* window = nullptr;
  int index = 0;
};

// The user data for the controls 0..N-1 of a window's rows, made once with the window. Rows of
// different controls share it: control i of each row hands over member i.
template <class Window, std::size_t N>
class RowMembers {
 public:
  explicit RowMembers(Window* window) {
    for (std::size_t i = 0; i < N; ++i) members_[i] = {window, static_cast<int>(i)};
  }
  RowMembers(const RowMembers&) = delete;
  RowMembers& operator=(const RowMembers&) = delete;

  RowMember<Window>* operator[](int i) { return &members_.at(static_cast<std::size_t>(i)); }

 private:
  std::array<RowMember<Window>, N> members_{};
};

namespace handler_detail {
template <class Method>
struct ClassOf;
template <class Window, class Result, class... Args>
struct ClassOf<Result (Window::*)(Args...)> {
  using type = Window;
};
}  // namespace handler_detail

// The class whose member function Method is.
template <auto Method>
using WindowOf = typename handler_detail::ClassOf<decltype(Method)>::type;

// A button that calls window->Method() when clicked.
template <auto Method>
void OnClick(ImgButton& button, WindowOf<Method>* window) {
  button.userData = window;
  button.clickHandler = [](ImgButton&, void* user) {
    (static_cast<WindowOf<Method>*>(user)->*Method)();
  };
}

// Button i of a row, calling window->Method(i, button) when clicked.
template <auto Method>
void OnRowClick(ImgButton& button, RowMember<WindowOf<Method>>* member) {
  button.userData = member;
  button.clickHandler = [](ImgButton& clicked, void* user) {
    const auto* m = static_cast<const RowMember<WindowOf<Method>>*>(user);
    (m->window->*Method)(m->index, clicked);
  };
}

// A fader or knob that calls window->Method(value) on every change.
template <auto Method, class Control>
void OnChange(Control& control, WindowOf<Method>* window) {
  control.userData = window;
  control.changeHandler = [](std::int32_t value, void*, void* user) {
    (static_cast<WindowOf<Method>*>(user)->*Method)(value);
  };
}

// Fader or knob i of a row, calling window->Method(i, value) on every change.
template <auto Method, class Control>
void OnRowChange(Control& control, RowMember<WindowOf<Method>>* member) {
  control.userData = member;
  control.changeHandler = [](std::int32_t value, void*, void* user) {
    const auto* m = static_cast<const RowMember<WindowOf<Method>>*>(user);
    (m->window->*Method)(m->index, value);
  };
}

// Value box i of a row, handing its committed text to window->Method(i, text), which says
// whether it took the entry.
template <auto Method>
void OnRowCommit(ImgEdit& box, RowMember<WindowOf<Method>>* member) {
  box.userDataA = member;
  box.commitA = [](ImgEdit&, void* user, BoxText& text) -> bool {
    const auto* m = static_cast<const RowMember<WindowOf<Method>>*>(user);
    return (m->window->*Method)(m->index, text);
  };
}

}  // namespace kdsp::skin
