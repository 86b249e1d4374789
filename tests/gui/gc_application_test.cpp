// An error that escapes an event handler is shown in the error box and the
// event loop goes on.
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

#include "gui/gc_application.h"
#include "gui/response_plot.h"
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
        QFile empty(dir.filePath("x.bin"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.write(QByteArray(64, '\0'));
        empty.close();
        QFileSystemModel model;
        const QModelIndex root = model.setRootPath(dir.path());
        QTRY_COMPARE(model.rowCount(root), 2);
        const QModelIndex folder = model.index(dir.filePath("FILTERS"));
        QCOMPARE(model.data(folder.siblingAtColumn(2)).toString(), QString("Папка"));
        QVERIFY(!model.data(model.index(dir.filePath("x.bin")).siblingAtColumn(2)).toString().contains("unknown"));
        if (qEnvironmentVariableIsEmpty("LC_ALL")) {
            const QDateTime modified = model.lastModified(folder);
            QCOMPARE(model.data(folder.siblingAtColumn(3)).toString(),
                     QLocale(QLocale::Russian).toString(modified, QLocale::ShortFormat));
        }
        QVERIFY(QLocale().monthName(12).startsWith("декабр"));
        // Numbers the program writes itself keep their point.
        QCOMPARE(QString::number(1.5), QString("1.5"));
        QCOMPARE(QStringLiteral("%1").arg(1.5), QString("1.5"));
    }

    void readOnlyBoxesLookReadOnly() {
        QWidget window;
        auto* editable = new QLineEdit(&window);
        auto* shown = new QLineEdit(&window);
        shown->setReadOnly(true);
        editable->setGeometry(0, 0, 80, 20);
        shown->setGeometry(0, 30, 80, 20);
        window.resize(100, 60);
        const QImage shot = window.grab().toImage();
        const QColor base = shot.pixelColor(40, 10), readOnly = shot.pixelColor(40, 40);
        QCOMPARE(base, window.palette().color(QPalette::Base));
        QCOMPARE(readOnly, window.palette().color(QPalette::Window));
        QVERIFY(base != readOnly);

        // The plot's zoom factors are shown, not typed: they look so; the cursor read-outs stay white.
        gc::ResponsePlotPanel plot;
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        const struct {
            const char* box;
            QColor background;
        } boxes[] = {{"xStretchBox", plot.palette().color(QPalette::Window)},
                     {"yStretchBox", plot.palette().color(QPalette::Window)},
                     {"freqReadout", QColor(Qt::white)}};
        for (const auto& b : boxes) {
            QWidget* box = plot.findChild<QWidget*>(b.box);
            QVERIFY(box);
            QCOMPARE(box->grab().toImage().pixelColor(3, 3), b.background);
        }
    }
};

int main(int argc, char** argv) {
    gc::GcApplication app(argc, argv);
    GcApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "gc_application_test.moc"
