// The busy run: the work runs off the event loop, "Прервать" and a close
// request reach it, and the windows come back as they were.
#include <QCloseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <chrono>
#include <thread>

#include "gui/app/busy_run.h"

using namespace gc;

namespace {

QPushButton* ShownCancelButton() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "busyRunPanel" && w->isVisible())
            for (QPushButton* b : w->findChildren<QPushButton*>())
                if (b->text() == QString::fromUtf8("Прервать")) return b;
    return nullptr;
}

class ClosingWindow : public QWidget {
public:
    int deferred = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (BusyRun::CloseWhenDone(this)) {
            ++deferred;
            event->ignore();
        }
    }
};

}  // namespace

class BusyRunTest : public QObject {
    Q_OBJECT

private slots:
    // Stopped by its button, or by a close request as the window system sends
    // it to the disabled window, which closes once the work has returned.
    void workIsStoppedWhileTheWindowLives_data() {
        QTest::addColumn<bool>("byClose");
        QTest::newRow("Прервать") << false;
        QTest::newRow("window closed") << true;
    }
    void workIsStoppedWhileTheWindowLives() {
        QFETCH(bool, byClose);
        ClosingWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int ticks = 0;
        bool disabledMeanwhile = false;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] {
            disabledMeanwhile = !window.isEnabled();
            QCloseEvent close;
            if (++ticks == 5 && byClose) QCoreApplication::sendEvent(window.windowHandle(), &close);
            // The panel shows after a moment.
            if (QPushButton* b = ShownCancelButton(); b && !byClose) QTest::mouseClick(b, Qt::LeftButton);
        });
        ticker.start(10);

        bool sawCancel = false;
        QVERIFY(BusyRun::Run(&window, "работает", [&](const std::atomic<bool>& cancel) {
            const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!cancel && std::chrono::steady_clock::now() < limit)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            sawCancel = cancel;
        }));
        QVERIFY(sawCancel);
        QVERIFY(ticks >= 5);
        QVERIFY(disabledMeanwhile);
        QVERIFY(window.isEnabled());
        QVERIFY(!BusyRun::Active());
        QCOMPARE(window.deferred, byClose ? 1 : 0);
        QVERIFY(window.isVisible());  // the caller still shows what the work did
        if (byClose) QTRY_VERIFY(!window.isVisible());
    }
};

QTEST_MAIN(BusyRunTest)
#include "busy_run_test.moc"
