// The small pieces the main window's panels are built from, and the quiet
// writes with which they show the model.
#pragma once

#include <QColor>
#include <QString>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace gc {

// A sunken read-out; the explicit minimum keeps a long text (a file name)
// from widening the window.
QLabel* MakePanel(QWidget* parent, const char* name, int minWidth = 80);
QLineEdit* MakeEdit(QWidget* parent, const char* name, int width = 90);
QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name);
// A button as wide as its text: the PFIR row holds several beside the file box,
// which the toolkit's usual minimum width would push past the window's width.
QPushButton* MakeCompactButton(QWidget* parent, const QString& text, const char* name);

// Writes a control from the model without waking its handlers; an index the
// box has no item for shows no selection.
void SetComboIndex(QComboBox* box, int index);
void SetChecked(QAbstractButton* b, bool on);
void SetPanelColour(QLabel* panel, const QColor& colour);

}  // namespace gc
