#include "gui/app/window_state.h"

#include <QEvent>
#include <QSettings>
#include <QWidget>

namespace gc {

namespace {

const QString kMainGeometry = QStringLiteral("mainWindow/geometry");
const QString kOpenWindows = QStringLiteral("mainWindow/openWindows");

QString GeometryKey(const QString& key) { return QStringLiteral("windows/%1/geometry").arg(key); }

}  // namespace

WindowStateStore::WindowStateStore(QSettings& settings, QObject* parent) : QObject(parent), settings_(settings) {}

void WindowStateStore::TrackMainWindow(QWidget* mainWindow) {
    main_ = mainWindow;
    const QByteArray geometry = settings_.value(kMainGeometry).toByteArray();
    // restoreGeometry keeps the window on a screen that exists now.
    if (!geometry.isEmpty()) main_->restoreGeometry(geometry);
    main_->installEventFilter(this);
}

void WindowStateStore::TrackSecondary(QWidget* window, const QString& key, std::function<void()> reopen) {
    secondaries_.push_back({window, key, std::move(reopen)});
    const QByteArray geometry = settings_.value(GeometryKey(key)).toByteArray();
    if (!geometry.isEmpty()) window->restoreGeometry(geometry);
    window->installEventFilter(this);
}

void WindowStateStore::ReopenSecondaries() {
    const QStringList open = SavedOpenWindows();
    for (const Tracked& t : secondaries_) {
        if (!open.contains(t.key)) continue;
        if (t.reopen)
            t.reopen();
        else
            t.window->show();
    }
}

QStringList WindowStateStore::SavedOpenWindows() const { return settings_.value(kOpenWindows).toStringList(); }

void WindowStateStore::Save() {
    if (main_) settings_.setValue(kMainGeometry, main_->saveGeometry());
    QStringList open;
    for (const Tracked& t : secondaries_) {
        // A window never shown has no place of its own yet: restoring its
        // unplaced geometry would pin it to the screen's corner.
        if (t.shown) settings_.setValue(GeometryKey(t.key), t.window->saveGeometry());
        if (t.window->isVisible()) open << t.key;
    }
    settings_.setValue(kOpenWindows, open);
    settings_.sync();
}

bool WindowStateStore::eventFilter(QObject* watched, QEvent* event) {
    // Before the main window handles its close, while the others still show.
    if (watched == main_ && event->type() == QEvent::Close) Save();
    if (event->type() == QEvent::Show)
        for (Tracked& t : secondaries_)
            if (t.window == watched) t.shown = true;
    return QObject::eventFilter(watched, event);
}

}  // namespace gc
