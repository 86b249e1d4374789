// An error that escapes an event handler is shown in the error box and the
// event loop goes on.
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

#include "gui/app/gc_application.h"
#include "gui/plots/response_plot.h"
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

    void fileDialogsNameTypesAndDatesInRussian() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("FILTERS"));
        QFileSystemModel model;
        const QModelIndex root = model.setRootPath(dir.path());
        QTRY_COMPARE(model.rowCount(root), 1);
        const QModelIndex folder = model.index(dir.filePath("FILTERS"));
        QCOMPARE(model.data(folder.siblingAtColumn(2)).toString(), QString("Папка"));
        if (qEnvironmentVariableIsEmpty("LC_ALL"))  // a user's LC_ALL decides the dates
            QCOMPARE(model.data(folder.siblingAtColumn(3)).toString(),
                     QLocale(QLocale::Russian).toString(model.lastModified(folder), QLocale::ShortFormat));
        QVERIFY(QLocale().monthName(12).startsWith("декабр"));
        QCOMPARE(QStringLiteral("%1").arg(1.5), QString("1.5"));  // the program's numbers keep their point
    }

    void readOnlyBoxesLookReadOnly() {
        // Read-only edit boxes and the plot's zoom factors are shown, not typed:
        // the window's colour; boxes to type in and the cursor read-outs stay white.
        gc::ResponsePlotPanel plot;
        auto* typed = new QLineEdit(&plot);
        auto* shown = new QLineEdit(&plot);
        shown->setReadOnly(true);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        const QColor window = plot.palette().color(QPalette::Window);
        const struct {
            QWidget* box;
            QColor background;
        } boxes[] = {{typed, plot.palette().color(QPalette::Base)},
                     {shown, window},
                     {plot.findChild<QWidget*>("xStretchBox"), window},
                     {plot.findChild<QWidget*>("yStretchBox"), window},
                     {plot.findChild<QWidget*>("freqReadout"), QColor(Qt::white)}};
        QVERIFY(window != QColor(Qt::white));
        for (const auto& b : boxes) QCOMPARE(b.box->grab().toImage().pixelColor(4, b.box->height() / 2), b.background);
    }
};

int main(int argc, char** argv) {
    gc::GcApplication app(argc, argv);
    GcApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "gc_application_test.moc"
