// The user guide: one window for the whole program, opened at the section
// of the window that asks for it (F1 in that window).
#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace gc {

enum class GuideSection {
    Start,
    ExpertMode,
    RegisterEditors,
    Sync,
    CicWindow,
    PfirWindow,
    LengthPanels,
    ChainWindow,
    Designer,
    Export,
};

// The heading of the section in the guide, as written there; empty for Start.
QString GuideHeading(GuideSection section);
std::vector<GuideSection> GuideSections();

// Shows the guide scrolled to the section. The window is made at the first
// call, as a window of from's window (so it goes with the program), and kept.
void ShowGuide(QWidget* from, GuideSection section);

// F1 anywhere in window opens the guide at the section.
void InstallGuideKey(QWidget* window, GuideSection section);

// The guide window once made, else null.
QWidget* GuideWindow();

}  // namespace gc
