// The configurator's command line. --help and --version are answered before
// any window system is touched, so they work without a display (the manual
// page is made from them at build time); the other options are read once the
// application object exists. Options of later windows are added in
// AddConfigOptions.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QCommandLineParser;

namespace gc {

struct ConfigCommandLine {
    QString workDir;                       // -C / --workdir; empty: the current folder
    std::vector<std::string> openWindows;  // --open, "all" expanded
    bool desktop = false;                  // --desktop: started from the desktop menu
};

// The windows --open can name: the synchronisation dialog, the register
// editors and the two response windows.
std::vector<std::string_view> OpenableWindows();

// "gc5016-config VERSION (board model N, TORVIN-X)".
QString ConfigVersionText();

// The program's own options, its description and its help and version options.
void AddConfigOptions(QCommandLineParser& parser);

// When argv asks for --help or --version: prints the answer on stdout and
// returns the exit status (0). nullopt otherwise. Needs no display.
std::optional<int> AnswerInfoRequest(int argc, char** argv);

// The options of the arguments left after the toolkit took its own. nullopt
// with the message in error for an unknown option or a missing value.
std::optional<ConfigCommandLine> ReadConfigCommandLine(const QStringList& arguments, QString& error);

}  // namespace gc
