// An error that escapes an event handler is shown in the error box and the
// event loop goes on.
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <stdexcept>

#include "gui/gc_application.h"
#include "ui_test_support.h"

namespace {

class Throwing : public QObject {
public:
    int handled = 0;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++handled;
            throw std::runtime_error("broken handler");
        }
        return QObject::event(e);
    }
};

}  // namespace

class GcApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void errorEscapingAHandlerIsShownAndTheLoopGoesOn() {
        gc::uitest::ModalCatcher modals;
        Throwing target;
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        QTRY_COMPARE(modals.seen.size(), size_t(1));
        QVERIFY(modals.seen[0].join(' ').contains("broken handler"));
        // Still running: a second event is delivered and reported too.
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
        QTRY_COMPARE(modals.seen.size(), size_t(2));
        QCOMPARE(target.handled, 2);
    }

    void standardButtonsSpeakRussian() {
        QMessageBox box(QMessageBox::Question, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Open);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), QString("Да"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove('&'), QString("Нет"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove('&'), QString("Отмена"));
        QCOMPARE(box.button(QMessageBox::Open)->text().remove('&'), QString("Открыть"));
    }
};

int main(int argc, char** argv) {
    gc::GcApplication app(argc, argv);
    GcApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "gc_application_test.moc"
