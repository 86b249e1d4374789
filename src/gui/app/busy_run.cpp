#include "gui/app/busy_run.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <exception>
#include <thread>
#include <vector>

namespace gc {

namespace {

// A quick run ends before the panel would show: no flash.
constexpr int kShowPanelAfterMs = 300;

class BusyPanel : public QWidget {
public:
    explicit BusyPanel(const QString& text) : QWidget(nullptr, Qt::Dialog) {
        setObjectName(QStringLiteral("busyRunPanel"));
        label_ = new QLabel(text, this);
        auto* bar = new QProgressBar(this);
        bar->setRange(0, 0);
        bar->setTextVisible(false);
        button_ = new QPushButton(QStringLiteral("Прервать"), this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label_);
        layout->addWidget(bar);
        layout->addWidget(button_, 0, Qt::AlignHCenter);
        connect(button_, &QPushButton::clicked, this, [] { BusyRun::Cancel(); });
    }

    void ShowCancelling() {
        button_->setEnabled(false);
        label_->setText(QStringLiteral("Прерывание…"));
    }

    void ShowOver(QWidget* parent) {
        adjustSize();
        if (parent) {
            QWidget* top = parent->window();
            setWindowTitle(top->windowTitle());
            move(top->frameGeometry().center() - rect().center());
            // Kept above the window it belongs to, without being its child:
            // a child would be disabled with it.
            winId();
            if (top->windowHandle()) windowHandle()->setTransientParent(top->windowHandle());
        }
        show();
    }

protected:
    // Closing the panel or Escape means the same as its button.
    void closeEvent(QCloseEvent* event) override {
        BusyRun::Cancel();
        event->ignore();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape)
            BusyRun::Cancel();
        else
            QWidget::keyPressEvent(event);
    }

private:
    QLabel* label_ = nullptr;
    QPushButton* button_ = nullptr;
};

struct RunState {
    std::atomic<bool> cancel{false};
    BusyPanel* panel = nullptr;
    QPointer<QWidget> closeAfter;
};

// Touched on the user-interface thread only.
RunState* current = nullptr;

// Input is taken from the windows by disabling them rather than by a modal
// panel: a window blocked by a modal one would not even get close requests.
class DisabledWindows {
public:
    DisabledWindows() : focus_(QApplication::focusWidget()) {
        // A child window is disabled with its parent.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!w->parentWidget() && w->isEnabled()) windows_.emplace_back(w);
        for (const QPointer<QWidget>& w : windows_) w->setEnabled(false);
    }
    ~DisabledWindows() {
        for (const QPointer<QWidget>& w : windows_)
            if (w) w->setEnabled(true);
        if (focus_) focus_->setFocus();
    }
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

private:
    QPointer<QWidget> focus_;
    std::vector<QPointer<QWidget>> windows_;
};

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

bool BusyRun::Run(QWidget* parent, const QString& text, const Work& work) {
    if (current) return false;
    RunState state;
    current = &state;
    struct Clear {
        ~Clear() { current = nullptr; }
    } clear;
    std::exception_ptr failure;
    {
        // Disabled before the work starts: a focused edit box commits its text
        // as it loses the focus, and that must not race with the work.
        DisabledWindows disabled;
        BusyCursor cursor;
        BusyPanel panel(text);
        state.panel = &panel;
        QTimer showTimer;
        showTimer.setSingleShot(true);
        QObject::connect(&showTimer, &QTimer::timeout, &panel,
                         [&panel, over = QPointer<QWidget>(parent)] { panel.ShowOver(over); });
        showTimer.start(kShowPanelAfterMs);

        QEventLoop loop;
        std::atomic<bool> finished{false};
        std::thread worker([&] {
            try {
                work(state.cancel);
            } catch (...) {
                failure = std::current_exception();
            }
            finished = true;
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        // The loop ends early only when the application quits: stop the work
        // and wait for it, as it uses what the caller holds.
        if (!finished) state.cancel = true;
        worker.join();
        state.panel = nullptr;
    }
    if (QPointer<QWidget> w = state.closeAfter) QTimer::singleShot(0, w, [w] { w->close(); });
    if (failure) std::rethrow_exception(failure);
    return true;
}

bool BusyRun::Active() { return current != nullptr; }

bool BusyRun::Cancel() {
    if (!current) return false;
    current->cancel = true;
    if (current->panel) current->panel->ShowCancelling();
    return true;
}

bool BusyRun::CloseWhenDone(QWidget* window) {
    if (!Cancel()) return false;
    current->closeAfter = window;
    return true;
}

}  // namespace gc
