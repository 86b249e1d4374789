// A monkey test of the windows: thousands of random clicks, typed texts, combo
// changes, plot cursor drags and file commands (answered by a fake dialog from
// a temporary working folder) on the main window and on every secondary window
// that is open. Nothing may crash, no handler may throw out of the event loop,
// no error box may say anything but the program's own refusals, and the lab
// file written at close must read back to the same settings.
//
// GC5016_MONKEY_SEED replays a run (the seed is printed); GC5016_MONKEY_EVENTS
// changes the number of events.
#include <sys/stat.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <exception>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/main_window/main_window.h"
#include "ui_test_support.h"

using namespace gc;
namespace fs = std::filesystem;

namespace {

// Exceptions that escape a handler into the event loop are recorded here
// instead of ending the program, so the test can name them.
class RecordingApplication : public QApplication {
public:
    using QApplication::QApplication;
    QStringList escaped;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            escaped << QString::fromUtf8(e.what());
        } catch (...) {
            escaped << QStringLiteral("(not a std::exception)");
        }
        return false;
    }
};

unsigned EnvNumber(const char* name, unsigned fallback) {
    const char* v = std::getenv(name);
    return v && *v ? static_cast<unsigned>(std::strtoul(v, nullptr, 10)) : fallback;
}

// Answers every file dialog with a file of the working folder: one that exists
// with the dialog's extension, a new name, a device or a FIFO (for reading
// only), or a cancel.
class MonkeyChooser : public FileChooser {
public:
    MonkeyChooser(std::mt19937& rng, fs::path root) : rng_(rng), root_(std::move(root)) {}
    std::optional<QString> Choose(QWidget*, const FileDialogRequest& request) override {
        const QString filter = request.filter;
        const int dot = filter.lastIndexOf("*.");
        const std::string ext = dot >= 0 ? filter.mid(dot + 2).chopped(1).toStdString() : "txt";
        std::vector<fs::path> existing;
        for (const auto& e : fs::recursive_directory_iterator(root_))
            if (e.is_regular_file() && e.path().extension() == "." + ext) existing.push_back(e.path());
        const fs::path folder = root_ / fs::path(request.initialDir.toStdString()).filename();
        switch (Pick(request.save ? 3 : 5)) {
            case 0:
                return std::nullopt;
            case 1:
                return QString::fromStdString(
                    (folder / ("m" + std::to_string(Pick(20)) + "." + ext)).lexically_normal().string());
            case 3:
                return QStringLiteral("/dev/zero");
            case 4:
                return QString::fromStdString((root_ / "pipe").string());
            default:
                if (existing.empty()) return std::nullopt;
                return QString::fromStdString(existing[static_cast<size_t>(Pick(static_cast<int>(existing.size())))]);
        }
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::mt19937& rng_;
    fs::path root_;
};

// Texts typed into edit boxes: numbers of every size and sign, text, nothing.
QString RandomText(std::mt19937& rng) {
    static const char* const kFixed[] = {"",
                                         " ",
                                         "abc",
                                         "0x1F",
                                         "1,5",
                                         "1.5",
                                         "-0",
                                         "1e308",
                                         "-1e308",
                                         "1e-30",
                                         "nan",
                                         "inf",
                                         "+7",
                                         "--3",
                                         "007",
                                         "2147483647",
                                         "-2147483648",
                                         "2147483648",
                                         "99999999999999999999",
                                         "1",
                                         "2",
                                         "4",
                                         "8",
                                         "64",
                                         "1024",
                                         "-1"};
    std::uniform_int_distribution<int> kind(0, 2);
    if (kind(rng) == 0) {
        const size_t n = sizeof kFixed / sizeof kFixed[0];
        return QString::fromUtf8(kFixed[std::uniform_int_distribution<size_t>(0, n - 1)(rng)]);
    }
    QString t;
    if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) t += '-';
    const int digits = std::uniform_int_distribution<int>(1, 12)(rng);
    for (int k = 0; k < digits; ++k) t += QChar('0' + std::uniform_int_distribution<int>(0, 9)(rng));
    return t;
}

// Error boxes the program shows on purpose; any other text came from a fault.
bool ExpectedErrorText(const QString& text) {
    for (const char* known : {"не является", "Файл ", "Не удалось записать", "Число отводов", "Не задано имя",
                              "Имя файла ЛЧМ", "Выходная частота", "Поле пусто", "вне допустимого диапазона",
                              "Тактовая частота должна быть", "Усиление должно быть", "Заменить ", "Не записано"})
        if (text.contains(QString::fromUtf8(known))) return true;
    return false;
}

// The first line where two texts differ, both versions; empty when equal.
QString FirstDifference(const std::string& a, const std::string& b) {
    const QStringList la = QString::fromStdString(a).split('\n'), lb = QString::fromStdString(b).split('\n');
    for (qsizetype k = 0; k < std::max(la.size(), lb.size()); ++k) {
        const QString x = k < la.size() ? la[k] : QString(), y = k < lb.size() ? lb[k] : QString();
        if (x != y) return QString("line %1: \"%2\" against \"%3\"").arg(k + 1).arg(x, y);
    }
    return {};
}

// Closes every modal window as soon as it appears and keeps the texts of
// error boxes that the program should never show.
class ModalCloser {
public:
    ModalCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(2);
    }
    QStringList unexpected;
    int closed = 0;

private:
    void Poll() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (auto* box = qobject_cast<QMessageBox*>(w); box && !ExpectedErrorText(box->text()))
            unexpected << box->text();
        ++closed;
        if (auto* d = qobject_cast<QDialog*>(w))
            d->done(0);
        else
            w->close();
    }
    QTimer timer_;
};

// The controls the monkey may use: enabled and visible, in every visible window.
std::vector<QWidget*> Targets() {
    std::vector<QWidget*> out;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible() || top->isModal()) continue;
        QList<QWidget*> all = top->findChildren<QWidget*>();
        all << top;
        for (QWidget* w : all) {
            if (!w->isVisible() || !w->isEnabled()) continue;
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                w->objectName() == "plotArea")
                out.push_back(w);
        }
    }
    return out;
}

}  // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void randomEventsOnEveryWindow() {
        const unsigned seed = EnvNumber("GC5016_MONKEY_SEED", std::random_device{}());
        const unsigned events = EnvNumber("GC5016_MONKEY_EVENTS", 10000);
        qInfo("monkey seed %u, %u events (GC5016_MONKEY_SEED=%u replays this run)", seed, events, seed);
        std::mt19937 rng(seed);
        auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

        uitest::WorkFolder dir;
        Settings lab;
        lab.FullDebug = 629;  // the expert mode shows every control
        WriteLab(lab, dir / "CONFIGS/std.lab");
        fs::copy_file(fs::path(GC5016_EXAMPLES) / "workspace/FILTERS/cdma.taps", dir / "FILTERS/cdma.taps");
        uitest::WriteText(dir / "Appl/in.gc101", "write 0002 0010\nwrite 0000 00ff\n");
        uitest::WriteText(dir / "FDFDP/in.flt", "filter\n5\n100\n-200\n300\n-200\n100\n");
        QVERIFY(::mkfifo((dir / "pipe").c_str(), 0600) == 0);

        ModalCloser modals;
        MonkeyChooser chooser(rng, dir.root());
        Session m;
        auto windows = std::make_unique<AppWindows>(m, dir.workspace());
        MainWindow* w = windows->gform();
        w->hooks().chooser = &chooser;
        w->hooks().chipToolDir = GC5016_BIN_DIR;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));

        for (unsigned i = 0; i < events; ++i) {
            const std::vector<QWidget*> targets = Targets();
            QVERIFY(!targets.empty());
            QWidget* t = targets[static_cast<size_t>(pick(static_cast<int>(targets.size())))];
            // The chip tool runs as a process: keep it to a few percent of the events.
            const QString name = t->objectName();
            if ((name == "writePrgButton" || name == "writeCmdButton") && pick(8) != 0) continue;
            if (auto* edit = qobject_cast<QLineEdit*>(t)) {
                edit->setFocus();
                edit->selectAll();
                QTest::keyClick(edit, Qt::Key_Backspace);
                QTest::keyClicks(edit, RandomText(rng));
                QTest::keyClick(edit, pick(4) == 0 ? Qt::Key_Tab : Qt::Key_Return);
            } else if (auto* combo = qobject_cast<QComboBox*>(t)) {
                combo->setFocus();
                QTest::keyClick(combo, pick(2) ? Qt::Key_Down : Qt::Key_Up);
            } else if (auto* button = qobject_cast<QAbstractButton*>(t)) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else {
                // The plot's cursor: placed and dragged with the right button.
                const QPoint a(pick(t->width()), pick(t->height())), b(pick(t->width()), pick(t->height()));
                QTest::mousePress(t, Qt::RightButton, {}, a);
                QMouseEvent move(QEvent::MouseMove, b, t->mapToGlobal(b), Qt::NoButton, Qt::RightButton, {});
                QApplication::sendEvent(t, &move);
                QTest::mouseRelease(t, Qt::RightButton, {}, b);
            }
            if (i % 64 == 0) QTest::qWait(1);  // the plots' one-shot timers
            auto* app = static_cast<RecordingApplication*>(QCoreApplication::instance());
            QVERIFY2(app->escaped.isEmpty(),
                     qPrintable(QString("seed %1 event %2: %3").arg(seed).arg(i).arg(app->escaped.join("; "))));
            QVERIFY2(modals.unexpected.isEmpty(), qPrintable(QString("seed %1 event %2: error box \"%3\"")
                                                                 .arg(seed)
                                                                 .arg(i)
                                                                 .arg(modals.unexpected.join("\", \""))));
        }

        // Closing writes CONFIGS/std.lab; it must hold the settings as they stand.
        w->close();
        QVERIFY(fs::exists(dir / "CONFIGS/std.lab"));
        Session back;
        QVERIFY(ReadLab(back.settings, back, dir / "CONFIGS/std.lab"));
        const std::string written = uitest::ReadText(dir / "CONFIGS/std.lab");
        QCOMPARE(FirstDifference(FormatLab(m.settings), written), QString());
        QCOMPARE(FirstDifference(FormatLab(back.settings), written), QString());
        qInfo("%d modal boxes closed", modals.closed);
    }
};

int main(int argc, char** argv) {
    RecordingApplication app(argc, argv);
    MonkeyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "monkey_test.moc"
