// The program's file dialogs list any folder without reading a file: /proc and
// /dev open at once, and no entry of a listed folder is ever opened.
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "gui/app/file_chooser.h"

using namespace gc;

namespace {

// Ends the process if the test does not finish in time: a dialog that blocks
// its thread would otherwise hang the run instead of failing it.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread_([this, limit] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!done_cv_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "file dialog blocked for %lld s\n", static_cast<long long>(limit.count()));
                  std::abort();
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        done_cv_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_cv_;
    bool done_ = false;
    std::thread thread_;
};

// Runs check on the file dialog that Choose opens, then cancels it.
std::optional<QString> ChooseWhile(bool save, const QString& dir, const QString& filter,
                                   const std::function<void(QFileDialog&)>& check) {
    QTimer::singleShot(0, [check] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        check(*d);
        d->reject();
    });
    DialogFileChooser chooser;
    return chooser.Choose(nullptr, {save, filter, "", dir});
}

QFileSystemModel* ModelOf(QFileDialog& d) { return d.findChild<QFileSystemModel*>(); }

// Waits until the dialog lists dir, then asks for every entry's icon and type,
// as the view does when it paints them.
int ListAndDecorate(QFileDialog& d, const QString& dir) {
    QFileSystemModel* model = ModelOf(d);
    if (!model) return -1;
    const QModelIndex parent = model->index(dir);
    [&] { QTRY_VERIFY_WITH_TIMEOUT(model->rowCount(parent) > 0, 10000); }();
    // Let the model's gatherer fetch the icons and types in the background too.
    QTest::qWait(300);
    const int rows = model->rowCount(parent);
    for (int r = 0; r < rows; ++r) {
        const QModelIndex i = model->index(r, 0, parent);
        (void)model->data(i, Qt::DecorationRole);
        (void)model->type(i);
        (void)model->data(model->index(r, 2, parent), Qt::DisplayRole);
    }
    QTest::qWait(300);
    return rows;
}

}  // namespace

class FileDialogTest : public QObject {
    Q_OBJECT

private slots:
    // The user types "/proc/" and "/dev/" into the file-name box of the save
    // dialog; the dialog lists them and stays responsive.
    void listsProcAndDevWithoutBlocking() {
        Watchdog watchdog(std::chrono::seconds(60));
        int procRows = 0, devRows = 0;
        ChooseWhile(true, QDir::tempPath(), "GC5016Lab(*.lab)", [&](QFileDialog& d) {
            auto* name = d.findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(name);
            for (const char* dir : {"/proc/", "/dev/"}) {
                name->clear();
                QTest::keyClicks(name, dir);
                QTest::qWait(200);
                d.setDirectory(dir);
                (dir[1] == 'p' ? procRows : devRows) = ListAndDecorate(d, QString(dir).chopped(1));
            }
        });
        QVERIFY(procRows > 10);
        QVERIFY(devRows > 3);
    }

    // No file of a listed folder is opened, whatever its name or content.
    void neverOpensAListedFile() {
        QTemporaryDir tmp;
        const QString dir = tmp.path();
        for (const char* name : {"notes", "data.bin", "std.lab", "README", "x.taps"}) {
            QFile f(dir + "/" + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(
                "#!/bin/sh\n<?xml version=\"1.0\"?>\n\x7f"
                "ELF");
        }
        QVERIFY(::mkfifo(QFile::encodeName(dir + "/pipe").constData(), 0600) == 0);
        QDir().mkdir(dir + "/sub");

        const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(fd >= 0);
        QVERIFY(::inotify_add_watch(fd, QFile::encodeName(dir).constData(), IN_OPEN | IN_ACCESS) >= 0);
        Watchdog watchdog(std::chrono::seconds(60));
        int rows = 0;
        ChooseWhile(false, dir, "*", [&](QFileDialog& d) { rows = ListAndDecorate(d, dir); });
        QCOMPARE(rows, 6);  // the FIFO is a system entry the dialog leaves out

        QStringList opened;
        alignas(inotify_event) char buf[8192];
        for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) {
            for (char* p = buf; p < buf + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                // Listing the folder itself opens it; its entries must stay shut.
                if (!(e->mask & IN_ISDIR) && e->len > 0) opened << QString::fromUtf8(e->name);
                p += sizeof(inotify_event) + e->len;
            }
        }
        ::close(fd);
        QVERIFY2(opened.isEmpty(), qPrintable("opened: " + opened.join(", ")));
    }
};

QTEST_MAIN(FileDialogTest)
#include "file_dialog_test.moc"
