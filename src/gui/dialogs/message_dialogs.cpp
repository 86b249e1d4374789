#include "gui/dialogs/message_dialogs.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace gc {

namespace {

// Fixed notices: a close box and nothing else in the title bar, no caption.
void SetNoticeFrame(QDialog* d, int width, int height) {
    d->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    d->setWindowTitle(QString());
    d->setModal(false);
    d->setMinimumSize(width, height);
    d->resize(width, height);
}

QLabel* RedLine(QWidget* parent, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
    return l;
}

QLabel* PlainLine(QWidget* parent, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setStyleSheet(QStringLiteral("QLabel { color: black; }"));
    return l;
}

// Shown without blocking, centred on the desktop, in front of the main window.
void ShowCentred(QDialog* d) {
    if (!d->isVisible()) {
        d->adjustSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r = d->frameGeometry();
            r.moveCenter(screen->availableGeometry().center());
            d->move(r.topLeft());
        }
    }
    d->show();
    d->raise();
    d->activateWindow();
}

}  // namespace

DecimMismatchNotice::DecimMismatchNotice(QWidget* parent) : QDialog(parent) {
    SetNoticeFrame(this, 321, 143);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(16, 16, 16, 16);
    v->addWidget(RedLine(this, QStringLiteral("Значения коэффициентов децимации каналов")), 0, Qt::AlignHCenter);
    v->addWidget(RedLine(this, QStringLiteral(" различаются !")), 0, Qt::AlignHCenter);
    v->addSpacing(18);
    v->addWidget(RedLine(this, QStringLiteral("Файл не может быть записан !")), 0, Qt::AlignHCenter);
    v->addStretch(1);
}

void DecimMismatchNotice::ShowDecimMismatch(const QString& totals) {
    // Which channels differ: their total decimations, below the notice's own lines.
    if (!totals_ && !totals.isEmpty()) {
        totals_ = PlainLine(this, QString());
        totals_->setObjectName(QStringLiteral("totalsLine"));
        static_cast<QBoxLayout*>(layout())->insertWidget(layout()->count() - 1, totals_, 0, Qt::AlignHCenter);
    }
    if (totals_) {
        totals_->setText(totals);
        totals_->setVisible(!totals.isEmpty());
    }
    ShowCentred(this);
}

MinDecimNotice::MinDecimNotice(QWidget* parent) : QDialog(parent) {
    SetNoticeFrame(this, 323, 141);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(8, 16, 8, 16);
    v->addWidget(RedLine(this, QStringLiteral("Минимальное значение коэффициента децимации")), 0, Qt::AlignHCenter);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(RedLine(this, QStringLiteral("в режиме")));
    mode_ = RedLine(this, QString());
    mode_->setObjectName(QStringLiteral("modeLine"));
    row->addWidget(mode_);
    row->addStretch(1);
    v->addLayout(row);
    v->addSpacing(16);
    v->addWidget(RedLine(this, QStringLiteral("Файл не может быть записан !")), 0, Qt::AlignHCenter);
    v->addStretch(1);
}

void MinDecimNotice::ShowMinDecim(const QString& modeText) {
    mode_->setText(modeText);
    ShowCentred(this);
}

QString MinDecimNotice::ModeText() const { return mode_->text(); }

InfoDialog::InfoDialog(QWidget* parent) : QDialog(parent) {
    SetNoticeFrame(this, 309, 193);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(16, 16, 16, 10);
    v->setSpacing(8);
    v->addWidget(PlainLine(this, QStringLiteral("Программа для конфигурирования  микросхемы ")), 0, Qt::AlignHCenter);
    v->addWidget(PlainLine(this, QStringLiteral("  GC5016 фирмы \"Texas Instruments\"")), 0, Qt::AlignHCenter);
    v->addWidget(PlainLine(this, QStringLiteral("Группа разработки конфигуратора DDC, 2025–2026")), 0,
                 Qt::AlignHCenter);
    v->addWidget(PlainLine(this, QStringLiteral("e-mail: ddc-config@example.org   www.example.org")), 0,
                 Qt::AlignHCenter);
    v->addWidget(PlainLine(this, QStringLiteral("тел.: +0 (000) 000-00-00, +0 (000) 000-00-01")), 0, Qt::AlignHCenter);
    // "ОК" in Cyrillic letters, as on the board software's own boxes.
    auto* ok = new QPushButton(QStringLiteral("\u041E\u041A"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setMinimumWidth(44);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    v->addStretch(1);
    v->addWidget(ok, 0, Qt::AlignHCenter);
}

void InfoDialog::ShowInfo() { ShowCentred(this); }

}  // namespace gc
