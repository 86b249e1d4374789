// The main window started in a fresh working folder on given lab settings,
// with the example coefficient file in FILTERS/, driven through its controls.
#pragma once

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QStatusBar>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/main_window/main_window.h"
#include "session/session.h"
#include "ui_test_support.h"

namespace gc::uitest {

struct StartedWindow {
    WorkFolder dir;
    ModalCatcher modals;
    ScriptedChooser chooser;
    Session m;
    std::unique_ptr<AppWindows> windows;

    // files: more files of the working folder (path below it, content), there before the start.
    explicit StartedWindow(const Settings& lab, const std::vector<std::pair<std::string, std::string>>& files = {}) {
        WriteLab(lab, dir / "CONFIGS/std.lab");
        std::filesystem::copy_file(std::filesystem::path(GC5016_EXAMPLES) / "workspace/FILTERS/cdma.taps",
                                   dir / "FILTERS/cdma.taps");
        for (const auto& [rel, text] : files) WriteText(dir / rel, text);
        windows = std::make_unique<AppWindows>(m, dir.workspace());
        w()->hooks().chooser = &chooser;
        w()->hooks().chipToolDir = GC5016_BIN_DIR;
        w()->show();
    }
    explicit StartedWindow(const Session& lab) : StartedWindow(lab.settings) {}

    MainWindow* w() const { return windows->gform(); }
    template <typename T>
    T* get(const char* name) const {
        T* c = w()->findChild<T*>(QLatin1String(name));
        if (!c) qFatal("no control %s", name);
        return c;
    }
    void type(const char* edit, const QString& text) const {
        QLineEdit* e = get<QLineEdit>(edit);
        e->clear();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }
    void click(const char* button) const { get<QAbstractButton>(button)->click(); }
    // The next file dialog is answered with p.
    void answer(const std::filesystem::path& p) { chooser.answers.push_back(QString::fromStdString(p.string())); }
    QString status() const { return w()->statusBar()->currentMessage(); }
    std::string lab() const { return FormatLab(m.settings); }
    QString cwd() const { return QDir::currentPath(); }
};

}  // namespace gc::uitest
