#include "gui/widgets/panel_widgets.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace gc {

QLabel* MakePanel(QWidget* parent, const char* name, int minWidth) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(minWidth);
    l->setAutoFillBackground(true);
    // A click takes the focus from the edit box, so that typing cannot land there unseen.
    l->setFocusPolicy(Qt::ClickFocus);
    return l;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setFixedWidth(width);
    return e;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QPushButton* MakeCompactButton(QWidget* parent, const QString& text, const char* name) {
    QPushButton* b = MakeButton(parent, text, name);
    b->setMaximumWidth(b->fontMetrics().horizontalAdvance(text) + 4 * b->fontMetrics().averageCharWidth());
    return b;
}

void SetComboIndex(QComboBox* box, int index) {
    QSignalBlocker block(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void SetChecked(QAbstractButton* b, bool on) {
    QSignalBlocker block(b);
    b->setChecked(on);
}

void SetPanelColour(QLabel* panel, const QColor& colour) {
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
}

}  // namespace gc
