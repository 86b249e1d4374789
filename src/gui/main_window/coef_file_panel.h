// The shown channel's coefficient file and what its gains come to: the PFIR
// gain, the output rate and the total gain.
#pragma once

#include <QObject>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace gc {

struct MainViewState;

class CoefFilePanel : public QObject {
    Q_OBJECT

public:
    explicit CoefFilePanel(QWidget* part);

    // The file box, the PFIR gain and the "Файл" and "Расчёт" buttons, in the PFIR row.
    void BuildFileWidgets(QWidget* group, QHBoxLayout* row);
    QGroupBox* BuildOutputGroup();

    void Show(const MainViewState& v);

signals:
    void chooseFileRequested();
    void designRequested();
    // A double-click on the file, PFIR gain, total gain or output rate panel.
    void pfirWindowRequested();

private:
    QWidget* part_;
    QLabel* coefFile_ = nullptr;
    QLabel* pfirGain_ = nullptr;
    QLabel* outputRate_ = nullptr;
    QLabel* totalGain_ = nullptr;
    QLabel* halfPanel_ = nullptr;
};

}  // namespace gc
