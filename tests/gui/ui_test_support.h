// Helpers shared by the main-window tests: a temporary working folder that the
// test changes into, and a catcher for modal boxes shown during a handler.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "core/workspace.h"
#include "gui/app/file_chooser.h"

namespace gc::uitest {

// A fresh working folder with CONFIGS/, FILTERS/ and Appl/. The windows get it
// as their workspace; the test's own current folder stays where it is, so a
// file opened by a relative path would not be found.
class WorkFolder {
public:
    WorkFolder() {
        root_ = std::filesystem::path(dir_.path().toStdString());
        for (const char* sub : {"CONFIGS", "FILTERS", "Appl"}) std::filesystem::create_directories(root_ / sub);
    }
    const std::filesystem::path& root() const { return root_; }
    Workspace workspace() const { return Workspace{root_}; }
    std::filesystem::path operator/(const std::string& rel) const { return root_ / rel; }

private:
    QTemporaryDir dir_;
    std::filesystem::path root_;
};

// The example working folder copied into dir, over its empty subfolders.
inline void CopyExampleInto(const WorkFolder& dir) {
    std::filesystem::copy(std::filesystem::path(GC5016_EXAMPLES) / "workspace", dir.root(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

inline std::string ReadText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteText(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << text;
}

// Answers file dialogs from a queue; an empty queue (or an empty entry) cancels.
// Records what each dialog was asked to show.
class ScriptedChooser : public FileChooser {
public:
    std::deque<std::optional<QString>> answers;
    std::vector<FileDialogRequest> asked;
    std::vector<QString> cwdAtAsk;
    std::optional<QString> Choose(QWidget*, const FileDialogRequest& request) override {
        asked.push_back(request);
        cwdAtAsk.push_back(QDir::currentPath());
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

// While alive, closes every modal window that appears and keeps the texts of
// its labels, one list per window.
class ModalCatcher {
public:
    ModalCatcher() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    std::vector<QStringList> seen;

private:
    void Poll() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        QStringList texts;
        for (QLabel* l : w->findChildren<QLabel*>())
            if (!l->text().isEmpty()) texts << l->text();
        seen.push_back(texts);
        if (auto* d = qobject_cast<QDialog*>(w))
            d->done(0);
        else
            w->close();
    }
    QTimer timer_;
};

}  // namespace gc::uitest
