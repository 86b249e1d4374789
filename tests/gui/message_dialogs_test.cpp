// The message windows: the coefficient-file report fed by the real loader, the
// two decimation notices and the information box.
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "filters/coef_files.h"
#include "gui/dialogs/coef_file_error_dialog.h"
#include "gui/dialogs/message_dialogs.h"
#include "session/session.h"

using namespace gc;

namespace {

// The texts of a window's labels, in the order they were created.
QStringList LabelTexts(const QWidget& w) {
    QStringList out;
    for (const QLabel* l : w.findChildren<QLabel*>()) out << l->text();
    return out;
}

}  // namespace

class MessageDialogsTest : public QObject {
    Q_OBJECT

private:
    // Runs the loader on path; while the modal report is up, records what it shows and closes it.
    struct Seen {
        bool shown = false;
        bool modal = false;
        std::array<QString, 3> lines;
        QColor background;
    };
    Seen LoadThroughDialog(CoefFileErrorDialog& dlg, const QString& path, int& count) {
        Seen seen;
        QTimer::singleShot(0, &dlg, [&] {
            seen.shown = dlg.isVisible();
            seen.modal = QApplication::activeModalWidget() == &dlg;
            seen.lines = dlg.Lines();
            seen.background = QColor(dlg.grab().toImage().pixel(2, dlg.height() - 3));
            dlg.close();
        });
        Session m;
        DialogCoefFileErrors sink(dlg);
        count = LoadPfirFile(m, 0, path.toStdString(), &sink);
        return seen;
    }

private slots:
    void missingAndEmptyCoefficientFiles() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        CoefFileErrorDialog dlg;
        QCOMPARE(dlg.windowTitle(), QString("ErrFileCoeff"));

        const QString missing = dir.filePath("FILTERS/нет такого.taps");
        int count = -1;
        Seen seen = LoadThroughDialog(dlg, missing, count);
        QVERIFY(seen.shown);
        QVERIFY(seen.modal);
        QCOMPARE(seen.lines[0], QString("Файл коэфициентов PFIR"));
        QCOMPARE(seen.lines[1], missing);  // the path as the reader was given it
        QCOMPARE(seen.lines[2], QString("отсутствует!"));
        QCOMPARE(seen.background, QColor(Qt::black));
        QCOMPARE(count, 0);
        QVERIFY(!dlg.isVisible());

        const QString empty = dir.filePath("empty.taps");
        {
            QFile f(empty);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        seen = LoadThroughDialog(dlg, empty, count);
        QVERIFY(seen.shown);
        QCOMPARE(seen.lines[0], QString("Файл коэфициентов PFIR"));
        QCOMPARE(seen.lines[1], empty);
        QCOMPARE(seen.lines[2], QString("поврежден!"));
        QCOMPARE(count, 0);
        // The lines stay until the next report.
        QCOMPARE(dlg.Lines()[2], QString("поврежден!"));

        // A usable file raises no report at all.
        const QString good = dir.filePath("good.taps");
        {
            QFile f(good);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("1\n2\n1\n");
        }
        Session m;
        DialogCoefFileErrors sink(dlg);
        QCOMPARE(LoadPfirFile(m, 0, good.toStdString(), &sink), 3);
        QVERIFY(!dlg.isVisible());
    }

    void decimationNoticesDoNotBlock() {
        DecimMismatchNotice mismatch;
        mismatch.ShowDecimMismatch();  // returns at once
        QVERIFY(mismatch.isVisible());
        QVERIFY(!mismatch.isModal());
        QCOMPARE(mismatch.windowTitle(), QString());
        QCOMPARE(LabelTexts(mismatch), (QStringList{"Значения коэффициентов децимации каналов", " различаются !",
                                                    "Файл не может быть записан !"}));

        MinDecimNotice minimum;
        minimum.ShowMinDecim("SplitIQ rate равно 4 !");
        QVERIFY(minimum.isVisible());
        QVERIFY(!minimum.isModal());
        QCOMPARE(LabelTexts(minimum), (QStringList{"Минимальное значение коэффициента децимации", "в режиме",
                                                   "SplitIQ rate равно 4 !", "Файл не может быть записан !"}));
        // Shown again while open: the mode line follows the new call.
        minimum.ShowMinDecim("Full rate равно 8 !");
        QCOMPARE(minimum.ModeText(), QString("Full rate равно 8 !"));
        QVERIFY(minimum.isVisible());
    }

    void infoBoxClosesWithItsButton() {
        InfoDialog info;
        info.ShowInfo();
        QVERIFY(info.isVisible());
        QVERIFY(!info.isModal());
        const QStringList lines = LabelTexts(info);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QString("Программа для конфигурирования  микросхемы "));
        QCOMPARE(lines[1], QString("  GC5016 фирмы \"Texas Instruments\""));
        for (const QString& l : lines) QVERIFY(!l.trimmed().isEmpty());
        QPushButton* ok = info.findChild<QPushButton*>("okButton");
        QVERIFY(ok);
        QCOMPARE(ok->text(), QString::fromUtf8("\xD0\x9E\xD0\x9A"));  // Cyrillic О and К
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!info.isVisible());
    }
};

QTEST_MAIN(MessageDialogsTest)
#include "message_dialogs_test.moc"
