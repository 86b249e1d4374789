// The window's questions before it replaces or gives up a configuration,
// answered through the real message boxes.
#include <QAbstractButton>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>
#include <deque>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/main_window/main_window.h"
#include "ui_test_support.h"

using namespace gc;
using gc::uitest::WorkFolder;

namespace {

// Answers each message box that appears with the next button text ("Yes" and
// "No" for the standard buttons) and keeps the box's text.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::deque<QString> answers) : answers_(std::move(answers)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(5);
    }
    QStringList texts;
    bool done() const { return answers_.empty(); }

private:
    void Poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || answers_.empty()) return;
        const QString answer = answers_.front();
        answers_.pop_front();
        texts << box->text();
        if (answer == "Enter") {
            QTest::keyClick(box, Qt::Key_Return);
            return;
        }
        QAbstractButton* button = answer == "Yes"  ? box->button(QMessageBox::Yes)
                                  : answer == "No" ? box->button(QMessageBox::No)
                                                   : nullptr;
        for (QAbstractButton* b : box->buttons())
            if (!button && b->text() == answer) button = b;
        if (button)
            button->click();
        else
            box->reject();
    }
    std::deque<QString> answers_;
    QTimer timer_;
};

struct Window {
    WorkFolder dir;
    uitest::ScriptedChooser chooser;
    Session m;
    std::unique_ptr<AppWindows> windows;

    explicit Window(const std::string& labBytes = {}) {
        uitest::CopyExampleInto(dir);
        if (!labBytes.empty()) uitest::WriteText(dir / "CONFIGS/std.lab", labBytes);
        windows = std::make_unique<AppWindows>(m, dir.workspace());
        w()->hooks().chooser = &chooser;
    }
    MainWindow* w() const { return windows->gform(); }
};

}  // namespace

class FileSafetyTest : public QObject {
    Q_OBJECT

private slots:
    // "Записать" onto a configuration that exists asks once, naming both files.
    void saveAsksBeforeReplacingBothFiles() {
        for (const QString& answer : {QString("No"), QString("Yes")}) {
            Window win;
            win.w()->show();
            uitest::WriteText(win.dir / "CONFIGS/other.lab", "old lab\n");
            uitest::WriteText(win.dir / "CONFIGS/other.prg", "old prg\n");
            win.chooser.answers.push_back(QString::fromStdString((win.dir / "CONFIGS/other.lab").string()));
            BoxAnswerer boxes({answer});
            win.w()->findChild<QAbstractButton*>("saveLabButton")->click();
            QTRY_VERIFY(boxes.done());
            QCOMPARE(boxes.texts.value(0), QString("Заменить other.lab и other.prg?"));
            QVERIFY(!win.chooser.asked.at(0).confirmOverwrite);
            const bool replaced = answer == "Yes";
            QCOMPARE(uitest::ReadText(win.dir / "CONFIGS/other.lab") == "old lab\n", !replaced);
            QCOMPARE(uitest::ReadText(win.dir / "CONFIGS/other.prg") == "old prg\n", !replaced);
            win.w()->close();
        }
    }

    // A start-up lab file in UTF-16 is reported at start and replaced at close only when the user says so.
    void unreadableStartupLabIsReportedAndKeptUnlessAsked() {
        const std::string utf16(
            "\xFF\xFE"
            "F\0u\0l\0l\0D\0e\0b\0u\0g\0",
            20);
        for (const QString& atClose : {QString("Закрыть без сохранения"), QString("Записать")}) {
            Window win(utf16);
            BoxAnswerer boxes({"OK", atClose});
            win.w()->show();
            QTRY_COMPARE(boxes.texts.size(), 1);
            QVERIFY2(boxes.texts[0].contains("UTF-16LE"), qPrintable(boxes.texts[0]));
            win.w()->close();
            QTRY_VERIFY(boxes.done());
            QVERIFY(!win.w()->isVisible());
            const std::string after = uitest::ReadText(win.dir / "CONFIGS/std.lab");
            if (atClose == "Записать")
                QVERIFY(after.find("LabFile DDC GC5016") != std::string::npos);
            else
                QCOMPARE(after, utf16);
        }
    }

    // Enter at the close question over an unreadable lab file takes the safe
    // choice, whichever button has the focus: the window stays and writes nothing.
    void enterAtTheCloseQuestionWritesNothing() {
        const std::string utf16(
            "\xFF\xFE"
            "F\0u\0l\0l\0",
            10);
        Window win(utf16);
        BoxAnswerer boxes({"OK", "Enter", "Закрыть без сохранения"});
        win.w()->show();
        QTRY_COMPARE(boxes.texts.size(), 1);
        win.w()->close();
        QTRY_COMPARE(boxes.texts.size(), 2);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(win.w()->isVisible());
        QCOMPARE(uitest::ReadText(win.dir / "CONFIGS/std.lab"), utf16);
        win.w()->close();
        QTRY_VERIFY(boxes.done());
        QCOMPARE(uitest::ReadText(win.dir / "CONFIGS/std.lab"), utf16);
    }

    // A failed write at close offers to stay, and closing without saving keeps the file as it was.
    void failedWriteAtCloseLetsTheUserStay() {
        Window win;
        win.w()->show();
        const std::filesystem::path lab = win.dir / "CONFIGS/std.lab";
        const std::string before = uitest::ReadText(lab);
        std::filesystem::permissions(lab, std::filesystem::perms(0444));
        {
            BoxAnswerer boxes({"Отмена"});
            win.w()->close();
            QTRY_VERIFY(boxes.done());
            QVERIFY(win.w()->isVisible());
            QVERIFY2(boxes.texts.value(0).contains("нет прав на запись"), qPrintable(boxes.texts.value(0)));
            QVERIFY(win.w()->statusBar()->currentMessage().contains("Не записано"));
        }
        BoxAnswerer boxes({"Повторить", "Закрыть без сохранения"});
        win.w()->close();
        QTRY_VERIFY(boxes.done());
        QVERIFY(!win.w()->isVisible());
        QCOMPARE(uitest::ReadText(lab), before);
    }
};

QTEST_MAIN(FileSafetyTest)
#include "file_safety_test.moc"
