// Runs an action when a widget that has no double-click of its own (a
// display panel) is double-clicked with the left button.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace gc {

// The relay lives as a child of the widget it watches.
void OnDoubleClick(QWidget* widget, std::function<void()> action);

}  // namespace gc
