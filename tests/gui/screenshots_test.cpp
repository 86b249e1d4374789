// Pictures of the main window in normal and expert mode, taken on the example
// working folder. scripts/screenshots.sh runs this with GC5016_SHOT_DIR set to
// remake the pictures of the user guide; without it the pictures go to a
// temporary folder and only the window sizes are checked.
#include <QtTest>
#include <filesystem>

#include "core/lab_file.h"
#include "gui/app_windows.h"
#include "gui/tgform.h"
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
        fs::copy(fs::path(GC5016_EXAMPLES) / "workspace", dir.root(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        Session lab;
        ReadLab(lab.settings, lab, dir / "CONFIGS/std.lab");
        lab.settings.FullDebug = expert ? 629 : 0;
        WriteLab(lab.settings, dir / "CONFIGS/std.lab");

        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher catcher;
        TGForm* w = windows.gform();
        w->show();
        QTest::qWait(150);  // the plot's redraw timer
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

    void normalAndExpertWindows() {
        const QImage normal = Shoot(false, "main_window.png");
        const QImage expert = Shoot(true, "main_window_expert.png");
        QVERIFY(!normal.isNull());
        QCOMPARE(normalWidth_, TGForm::kNormalWidth);
        QVERIFY(expert.width() > normal.width());
    }
};

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"
