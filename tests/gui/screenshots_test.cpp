// Pictures of the main window in normal and expert mode and of the response
// windows, taken on the example working folder. scripts/screenshots.sh runs
// this with GC5016_SHOT_DIR set to remake the pictures of the user guide;
// without it the pictures go to a temporary folder and only the window sizes
// are checked.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "core/lab_file.h"
#include "core/text_io.h"
#include "filters/coef_files.h"
#include "filters/pfir_design.h"
#include "gui/app/app_windows.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/chain_window.h"
#include "gui/plots/cic_response_window.h"
#include "gui/plots/pfir_response_window.h"
#include "ui_test_support.h"

using namespace gc;
namespace fs = std::filesystem;

class ScreenshotsTest : public QObject {
    Q_OBJECT

private:
    QString shotDir_;
    QTemporaryDir tmp_;
    int normalWidth_ = 0;

    // The example workspace copied into a fresh folder, with FullDebug set as asked.
    QImage Shoot(bool expert, const QString& file) {
        uitest::WorkFolder dir;
        uitest::CopyExampleInto(dir);
        Session lab;
        ReadLab(lab.settings, lab, dir / "CONFIGS/std.lab");
        lab.settings.FullDebug = expert ? 629 : 0;
        WriteLab(lab.settings, dir / "CONFIGS/std.lab");

        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher catcher;
        MainWindow* w = windows.gform();
        w->show();
        QTest::qWait(150);  // the plot's redraw timer
        // The guide's pictures show the folder the README's run command uses, not this test's.
        if (auto* folder = w->findChild<QLabel*>(QStringLiteral("workFolderLabel")))
            folder->setText(QStringLiteral("run/workspace"));
        if (!expert) normalWidth_ = w->width();
        const QImage img = w->grab().toImage();
        img.save(QDir(shotDir_).filePath(file));
        w->close();
        return img;
    }

private slots:
    void initTestCase() {
        shotDir_ = qEnvironmentVariable("GC5016_SHOT_DIR");
        if (shotDir_.isEmpty()) shotDir_ = tmp_.path();
        QDir().mkpath(shotDir_);
    }

    // The CIC window (normal and aliasing view) and the PFIR window, opened
    // from their buttons on the example workspace at a CIC decimation of 8.
    void responseWindows() {
        uitest::WorkFolder dir;
        uitest::CopyExampleInto(dir);
        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher catcher;
        MainWindow* w = windows.gform();
        w->show();
        QLineEdit* cic = w->findChild<QLineEdit*>("cicEdit");
        cic->setText("8");
        emit cic->editingFinished();
        w->findChild<QPushButton*>("cicWindowButton")->click();
        w->findChild<QPushButton*>("pfirWindowButton")->click();
        QTest::qWait(250);  // both first-draw timers
        const QImage cicShot = windows.cicForm()->grab().toImage();
        cicShot.save(QDir(shotDir_).filePath("cic_window.png"));
        windows.cicForm()->findChild<QCheckBox*>("aliasBox")->click();
        windows.cicForm()->grab().toImage().save(QDir(shotDir_).filePath("cic_window_alias.png"));
        const QImage pfirShot = windows.pfirForm()->grab().toImage();
        pfirShot.save(QDir(shotDir_).filePath("pfir_window.png"));
        QVERIFY(pfirShot.width() > cicShot.width());  // the length panels sit beside the plot
        windows.cicForm()->close();
        windows.pfirForm()->close();
        w->close();
    }

    // "Анализ тракта" on the README's design example: CIC 8, PFIR 2, the
    // 255-tap design as channel A's file, the cursor at the design's passband edge.
    void chainWindow() {
        uitest::WorkFolder dir;
        uitest::CopyExampleInto(dir);
        Session lab;
        ReadLab(lab.settings, lab, dir / "CONFIGS/cic8_pfir2.lab");
        const DdcChannel ch = ChannelAt(lab.settings.SystemClock, 0, 8, 2);
        PfirDesignRequest r;
        r.passHz = 3001540;
        r.stopHz = 3248460;
        QVERIFY(WriteFileAtomic(dir / "FILTERS/lp255.taps", PfirTapsText(DesignPfir(ch, r).taps)));
        lab.settings.NameOfPFIR[0] = "lp255.taps";
        WriteLab(lab.settings, dir / "CONFIGS/std.lab");

        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher catcher;
        windows.gform()->show();
        windows.gform()->findChild<QPushButton*>("chainWindowButton")->click();
        ChainWindow* c = windows.chainWindow();
        c->resize(1000, 640);
        QCoreApplication::processEvents();
        PlotView* plot = c->Plot();
        const QRect a = c->PlotArea();
        const QPoint at(a.left() + static_cast<int>(3001540.0 / 3125000 * a.width()), a.center().y());
        QTest::mousePress(plot, Qt::RightButton, {}, at);
        QTest::mouseRelease(plot, Qt::RightButton, {}, at);
        const QImage shot = c->grab().toImage();
        shot.save(QDir(shotDir_).filePath("chain_window.png"));
        QCOMPARE(shot.width(), 1000);
        c->close();
    }

    void normalAndExpertWindows() {
        const QImage normal = Shoot(false, "main_window.png");
        const QImage expert = Shoot(true, "main_window_expert.png");
        QVERIFY(!normal.isNull());
        QCOMPARE(normalWidth_, MainWindow::kNormalWidth);
        QVERIFY(expert.width() > normal.width());
    }
};

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"
