// The application object: an error that escapes an event handler is shown in
// an error box and the event loop goes on.
#pragma once

#include <QApplication>
#include <QString>

class QWidget;

namespace gc {

class GcApplication : public QApplication {
public:
    GcApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The standard error box, modal to parent.
void ShowErrorBox(QWidget* parent, const QString& text);

}  // namespace gc
