// F1 in a secondary window opens the one user guide at that window's section,
// and every section the windows ask for is a heading of the guide.
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/app/guide.h"
#include "gui/dialogs/pfir_design_dialog.h"
#include "gui/dialogs/register_editor_dialog.h"
#include "gui/dialogs/register_windows.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/cic_response_window.h"
#include "ui_test_support.h"

using namespace gc;

namespace {

// The heading the guide was opened at: its cursor is there, in view, and at
// the top unless the view has reached the end of the text.
QString ShownHeading() {
    auto* text = GuideWindow() ? GuideWindow()->findChild<QTextBrowser*>("guideText") : nullptr;
    if (!text || !text->isVisible()) return QStringLiteral("(no guide)");
    const QTextBlock block = text->textCursor().block();
    const QRect at = text->cursorRect();
    const QScrollBar* bar = text->verticalScrollBar();
    if (block.blockFormat().headingLevel() == 0 || !text->viewport()->rect().contains(at) ||
        (at.top() > 2 * at.height() && bar->value() < bar->maximum()))
        return QStringLiteral("(not at a heading in view)");
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
        RegisterEditorDialog* editor = windows.registerWindows()->dialog(RegisterDialogId::CicMix);
        editor->Open();
        windows.cicForm()->Open();
        windows.pfirDesign()->Open();
        const struct {
            QWidget* window;
            GuideSection section;
        } cases[] = {{windows.cicForm(), GuideSection::CicWindow},
                     {editor, GuideSection::RegisterEditors},
                     {windows.pfirDesign(), GuideSection::Designer}};
        for (const auto& c : cases) {
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
