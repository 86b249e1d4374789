// Where the windows were, between runs: the main window's place and size and
// which secondary windows were open (with theirs), kept in the user's own
// settings (QSettings), never in the working folder's files.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QSettings;
class QWidget;

namespace gc {

class WindowStateStore : public QObject {
    Q_OBJECT
public:
    explicit WindowStateStore(QSettings& settings, QObject* parent = nullptr);

    // Puts the main window where it was and saves the state of every tracked
    // window when it closes. Call before it is first shown.
    void TrackMainWindow(QWidget* mainWindow);
    // A secondary window, known in the settings by key: it gets its place back,
    // and its being open at the main window's close is remembered. reopen
    // opens it again as its own button does (a window that keeps an open flag
    // needs that); without one it is only shown.
    void TrackSecondary(QWidget* window, const QString& key, std::function<void()> reopen = {});
    // Reopens the tracked secondary windows that were open at the last close.
    void ReopenSecondaries();

    // The keys of the windows open at the last close.
    QStringList SavedOpenWindows() const;
    // Saves now what a close of the main window saves.
    void Save();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Tracked {
        QWidget* window;
        QString key;
        std::function<void()> reopen;
        bool shown = false;  // in this run; only then is its place worth keeping
    };
    QSettings& settings_;
    QWidget* main_ = nullptr;
    std::vector<Tracked> secondaries_;
};

}  // namespace gc
