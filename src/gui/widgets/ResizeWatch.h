#pragma once

#include <functional>

class QWidget;

namespace tl {

// Calls back once a widget's width has changed and the resizing has paused,
// so work such as fitting a grid's columns runs once per drag, not per step.
void onWidthSettled(QWidget* widget, std::function<void()> callback);

} // namespace tl
