#include "gui/app/guide.h"

#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

// The guide is compiled into the library; a static library must register it itself.
static void InitGuideResource() { Q_INIT_RESOURCE(guide); }

namespace gc {

namespace {

struct SectionHeading {
    GuideSection section;
    const char* heading;
};

constexpr SectionHeading kHeadings[] = {
    {GuideSection::Start, ""},
    {GuideSection::ExpertMode, "Режим эксперта"},
    {GuideSection::RegisterEditors, "Окна регистров"},
    {GuideSection::Sync, "Синхронизация"},
    {GuideSection::CicWindow, "Окно «CIC Фильтр»"},
    {GuideSection::PfirWindow, "Окно «PFIR Фильтр»"},
    {GuideSection::LengthPanels, "Панели длин фильтра"},
    {GuideSection::ChainWindow, "Окно «Анализ тракта»"},
    {GuideSection::Designer, "Окно «Расчёт PFIR»"},
    {GuideSection::Export, "Экспорт графиков"},
};

// One guide for all windows: F1 in another window brings the same one forward.
QPointer<QDialog>& Guide() {
    static QPointer<QDialog> guide;
    return guide;
}

QDialog* MakeGuide(QWidget* parent) {
    InitGuideResource();
    auto* dialog = new QDialog(parent, Qt::Window);
    dialog->setObjectName("guideWindow");
    dialog->setWindowTitle(QStringLiteral("Руководство пользователя"));
    dialog->setAttribute(Qt::WA_QuitOnClose, false);
    auto* browser = new QTextBrowser(dialog);
    browser->setObjectName("guideText");
    browser->setOpenExternalLinks(false);
    QFile file(QStringLiteral(":/guide/guide_ru.md"));
    if (file.open(QIODevice::ReadOnly)) browser->setMarkdown(QString::fromUtf8(file.readAll()));
    auto* close = new QPushButton(QStringLiteral("Закрыть"), dialog);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::close);
    auto* v = new QVBoxLayout(dialog);
    v->addWidget(browser);
    v->addWidget(close, 0, Qt::AlignRight);
    dialog->resize(640, 560);
    return dialog;
}

// Puts the section's heading at the top of the view.
void ScrollTo(QTextBrowser* browser, const QString& heading) {
    QTextDocument* doc = browser->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (heading.isEmpty() || (b.blockFormat().headingLevel() > 0 && b.text() == heading)) {
            browser->setTextCursor(QTextCursor(b));
            // From the bottom, ensureCursorVisible stops with the heading at the top.
            QScrollBar* bar = browser->verticalScrollBar();
            bar->setValue(heading.isEmpty() ? bar->minimum() : bar->maximum());
            browser->ensureCursorVisible();
            if (heading.isEmpty()) bar->setValue(bar->minimum());
            return;
        }
    }
}

}  // namespace

QString GuideHeading(GuideSection section) {
    for (const SectionHeading& h : kHeadings)
        if (h.section == section) return QString::fromUtf8(h.heading);
    return {};
}

std::vector<GuideSection> GuideSections() {
    std::vector<GuideSection> all;
    for (const SectionHeading& h : kHeadings) all.push_back(h.section);
    return all;
}

void ShowGuide(QWidget* from, GuideSection section) {
    QPointer<QDialog>& guide = Guide();
    if (!guide) guide = MakeGuide(from ? from->window() : nullptr);
    guide->show();
    guide->raise();
    guide->activateWindow();
    ScrollTo(guide->findChild<QTextBrowser*>("guideText"), GuideHeading(section));
}

void InstallGuideKey(QWidget* window, GuideSection section) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, [window, section] { ShowGuide(window, section); });
}

QWidget* GuideWindow() { return Guide().data(); }

}  // namespace gc
