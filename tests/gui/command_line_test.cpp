// gc5016-config's command line: --help and --version answer without a display,
// a bad option or working folder ends the program before any window shows.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "core/model.h"
#include "core/version.h"

class CommandLineTest : public QObject {
    Q_OBJECT

    struct Run {
        int status = -1;
        QString out, err;
    };

    // Runs the program; without a display unless a platform is given.
    static Run Config(const QStringList& args, const QString& platform = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
        if (!platform.isEmpty()) env.insert("QT_QPA_PLATFORM", platform);
        QTemporaryDir cwd;  // no working folder files: a window that started would show it
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(cwd.path());
        p.start(QString(GC5016_BIN_DIR) + "/gc5016-config", args);
        Run r;
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

private slots:
    void helpAndVersionNeedNoDisplay() {
        for (const QString& opt : {QString("--help"), QString("-h")}) {
            const Run r = Config({opt});
            QCOMPARE(r.status, 0);
            QVERIFY(r.out.startsWith("Usage: gc5016-config [options]"));
            for (const char* listed : {"--workdir <DIR>", "--help", "--version", "CONFIGS/std.lab"})
                QVERIFY2(r.out.contains(listed), listed);
            QCOMPARE(r.err, QString());
        }
        const Run v = Config({"--version"});
        QCOMPARE(v.status, 0);
        QCOMPARE(v.out, QString("gc5016-config %1 (board model %2, %3)\n")
                            .arg(gc::kProjectVersion)
                            .arg(gc::kBoardModel)
                            .arg(gc::BoardName(gc::kBoardModel)));
    }

    void badOptionsStopBeforeAnyWindow() {
        const Run bogus = Config({"--bogus"}, "offscreen");
        QCOMPARE(bogus.status, 1);
        QVERIFY(bogus.err.contains("bogus"));
        QVERIFY(bogus.err.contains("--help"));
        QCOMPARE(Config({"-C", "/nonexistent/folder"}, "offscreen").status, 1);
        QCOMPARE(Config({"extra"}, "offscreen").status, 1);
        QCOMPARE(Config({"--workdir"}, "offscreen").status, 1);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
