#include "gui/widgets/double_click.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace gc {

namespace {

class DoubleClickRelay : public QObject {
public:
    DoubleClickRelay(QWidget* watched, std::function<void()> action) : QObject(watched), action_(std::move(action)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            action_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action_;
};

}  // namespace

void OnDoubleClick(QWidget* widget, std::function<void()> action) { new DoubleClickRelay(widget, std::move(action)); }

}  // namespace gc
