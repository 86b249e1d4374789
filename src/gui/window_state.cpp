#include "gui/window_state.h"

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

void WindowStateStore::TrackSecondary(QWidget* window, const QString& key) {
    secondaries_.push_back({window, key});
    const QByteArray geometry = settings_.value(GeometryKey(key)).toByteArray();
    if (!geometry.isEmpty()) window->restoreGeometry(geometry);
}

void WindowStateStore::ReopenSecondaries() {
    const QStringList open = SavedOpenWindows();
    for (const Tracked& t : secondaries_)
        if (open.contains(t.key)) t.window->show();
}

QStringList WindowStateStore::SavedOpenWindows() const { return settings_.value(kOpenWindows).toStringList(); }

void WindowStateStore::Save() {
    if (main_) settings_.setValue(kMainGeometry, main_->saveGeometry());
    QStringList open;
    for (const Tracked& t : secondaries_) {
        settings_.setValue(GeometryKey(t.key), t.window->saveGeometry());
        if (t.window->isVisible()) open << t.key;
    }
    settings_.setValue(kOpenWindows, open);
    settings_.sync();
}

bool WindowStateStore::eventFilter(QObject* watched, QEvent* event) {
    // Before the main window handles its close, while the others still show.
    if (watched == main_ && event->type() == QEvent::Close) Save();
    return QObject::eventFilter(watched, event);
}

}  // namespace gc
