// The shown channel's CIC and PFIR decimations, the CIC norm, and the
// buttons of the response windows. The PFIR row also holds the coefficient
// file's widgets, which its own panel makes.
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "session/edit_rules.h"

class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace gc {

struct MainViewState;

class CicPfirPanel : public QObject {
    Q_OBJECT

public:
    explicit CicPfirPanel(QWidget* part);

    QGroupBox* BuildCicGroup();
    // fileWidgets puts the coefficient file's widgets between the decimation
    // and the response buttons.
    QGroupBox* BuildPfirGroup(const std::function<void(QWidget* group, QHBoxLayout* row)>& fileWidgets);

    void Show(const MainViewState& v);

signals:
    void textEdited(ControlField field, const QString& text);
    void cicStepped(int step);
    void firDecChosen(int index);
    void cicWindowRequested();
    void pfirWindowRequested();
    void chainWindowRequested();

private:
    QWidget* part_;
    QLineEdit* cicEdit_ = nullptr;
    std::array<QPushButton*, 8> cicSteppers_{};  // +1 -1 +2 -2 +10 -10 +100 -100
    QLabel* cicNorm_ = nullptr;
    QComboBox* firDecCombo_ = nullptr;
};

}  // namespace gc
