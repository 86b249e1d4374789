// F1 in a secondary window opens the one user guide at that window's section,
// and every section the windows ask for is a heading of the guide.
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>
#include <functional>
#include <memory>

#include "core/lab_file.h"
#include "gui/app_windows.h"
#include "gui/chain_window.h"
#include "gui/cic_response_window.h"
#include "gui/guide.h"
#include "gui/pfir_design_dialog.h"
#include "gui/register_editor_dialog.h"
#include "gui/register_windows.h"
#include "gui/tgform.h"
#include "gui/tsyncro.h"
#include "ui_test_support.h"

using namespace gc;

namespace {

QTextBrowser* GuideText() {
    QWidget* guide = GuideWindow();
    return guide ? guide->findChild<QTextBrowser*>("guideText") : nullptr;
}

// The heading the guide was opened at: where its cursor is, in view, and at
// the top unless the view is scrolled to the end of the text.
QString ShownHeading() {
    QTextBrowser* text = GuideText();
    if (!text || !text->isVisible()) return QStringLiteral("(no guide)");
    const QTextBlock block = text->textCursor().block();
    if (block.blockFormat().headingLevel() == 0) return QStringLiteral("(not at a heading)");
    const QRect at = text->cursorRect();
    const QScrollBar* bar = text->verticalScrollBar();
    if (!text->viewport()->rect().contains(at)) return QStringLiteral("(heading out of view)");
    if (at.top() > 2 * at.height() && bar->value() < bar->maximum()) return QStringLiteral("(heading not at the top)");
    return block.text();
}

}  // namespace

class GuideTest : public QObject {
    Q_OBJECT

private slots:
    void everySectionIsAHeadingOfTheGuide() {
        QWidget owner;
        for (GuideSection section : GuideSections()) {
            if (section == GuideSection::Start) continue;
            ShowGuide(&owner, section);
            QCOMPARE(ShownHeading(), GuideHeading(section));
        }
        ShowGuide(&owner, GuideSection::Start);
        QCOMPARE(GuideText()->verticalScrollBar()->value(), 0);
    }

    void f1InASecondaryWindowOpensItsSection() {
        uitest::WorkFolder dir;
        uitest::ModalCatcher modals;
        Session m;
        Settings lab;
        lab.FullDebug = kExpertCode;
        WriteLab(lab, dir / "CONFIGS/std.lab");
        std::filesystem::copy_file(std::filesystem::path(GC5016_EXAMPLES) / "workspace/FILTERS/cdma.taps",
                                   dir / "FILTERS/cdma.taps");
        AppWindows windows(m, dir.workspace());
        windows.gform()->show();
        const struct {
            QWidget* window;
            std::function<void()> open;
            GuideSection section;
        } cases[] = {
            {windows.cicForm(), [&] { windows.cicForm()->Open(); }, GuideSection::CicWindow},
            {windows.chainWindow(), [&] { windows.chainWindow()->Open(); }, GuideSection::ChainWindow},
            {windows.registerWindows()->dialog(RegisterDialogId::CicMix),
             [&] { windows.registerWindows()->dialog(RegisterDialogId::CicMix)->Open(); },
             GuideSection::RegisterEditors},
            {windows.registerWindows()->syncro(), [&] { windows.registerWindows()->syncro()->Open(); },
             GuideSection::Sync},
            {windows.pfirDesign(), [&] { windows.pfirDesign()->Open(); }, GuideSection::Designer},
        };
        for (const auto& c : cases) {
            c.open();
            c.window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(c.window));
            QTest::keyClick(c.window, Qt::Key_F1);
            QCOMPARE(ShownHeading(), GuideHeading(c.section));
        }
        QVERIFY(modals.seen.empty());
    }
};

QTEST_MAIN(GuideTest)
#include "guide_test.moc"
