#include "gui/app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <variant>

#include "core/model.h"
#include "core/version.h"
#include "gui/dialogs/register_windows.h"
#include "session/open_option.h"

namespace gc {

namespace {

const char* const kProgram = "gc5016-config";

QCommandLineOption WorkDirOption() {
    return QCommandLineOption(
        {QStringLiteral("C"), QStringLiteral("workdir")},
        QStringLiteral("The working folder, holding CONFIGS/, FILTERS/ and Appl/ (default: the current folder)."),
        QStringLiteral("DIR"));
}

QCommandLineOption DesktopOption() {
    return QCommandLineOption(QStringLiteral("desktop"),
                              QStringLiteral("Started from the desktop menu: works in the remembered working folder, "
                                             "or asks for one, whatever the current folder holds."));
}

QCommandLineOption OpenOption() {
    return QCommandLineOption(QStringLiteral("open"),
                              QStringLiteral("Opens these windows after the start, as their buttons would: sync, "
                                             "global, addrgen, agc, fircont, cicmix, output, transmit, timer, "
                                             "pseudo (expert mode), cic, pfir, chain, or all."),
                              QStringLiteral("NAME[,NAME...]"));
}

void Print(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

}  // namespace

QString ConfigVersionText() {
    return QStringLiteral("%1 %2 (board model %3, %4)\n")
        .arg(QLatin1String(kProgram), QLatin1String(kProjectVersion))
        .arg(kBoardModel)
        .arg(QLatin1String(BoardName(kBoardModel)));
}

void AddConfigOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Configures the GC5016 quad digital down-converter of the %1 board.\n"
                       "It works in a working folder: at start it reads CONFIGS/std.lab and the\n"
                       "coefficient files FILTERS/*.taps named there, at close it writes\n"
                       "CONFIGS/std.lab back. Lab and program files go to CONFIGS/, coefficient\n"
                       "files and the chip tool's files to FILTERS/, gc101 files to Appl/.\n"
                       "Without -C it works in the current folder when that holds CONFIGS/, else\n"
                       "in the folder chosen at an earlier start; failing both it asks, offering\n"
                       "a new working folder made from the installed example.\n"
                       "gc5016-batch runs the same commands without a window.")
            .arg(QLatin1String(BoardName(kBoardModel))));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(WorkDirOption());
    parser.addOption(DesktopOption());
    parser.addOption(OpenOption());
}

std::vector<std::string_view> OpenableWindows() {
    std::vector<std::string_view> names = RegisterWindows::WindowNames();
    names.insert(names.end(), {"cic", "pfir", "chain"});
    return names;
}

std::optional<int> AnswerInfoRequest(int argc, char** argv) {
    bool help = false, version = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help-all") ||
            !std::strcmp(argv[i], "-?"))
            help = true;
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) version = true;
    }
    if (!help && !version) return std::nullopt;
    // A core application only: it needs no display.
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QLatin1String(kProgram));
    QCommandLineParser parser;
    AddConfigOptions(parser);
    QString text = help ? parser.helpText() : ConfigVersionText();
    // The usage line names the program as it was called; the manual page wants its name.
    if (help && argc > 0) text.replace(QString::fromLocal8Bit(argv[0]), QLatin1String(kProgram));
    Print(text);
    return 0;
}

std::optional<ConfigCommandLine> ReadConfigCommandLine(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    AddConfigOptions(parser);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
        return std::nullopt;
    }
    ConfigCommandLine c;
    c.workDir = parser.value(WorkDirOption());
    c.desktop = parser.isSet(DesktopOption());
    std::vector<std::string> open;
    for (const QString& v : parser.values(OpenOption())) open.insert(open.end(), {"--open", v.toStdString()});
    const auto names = ParseOpenOption(open, OpenableWindows());
    if (const auto* message = std::get_if<std::string>(&names)) {
        error = QString::fromStdString(*message) + QStringLiteral("\nusage: gc5016-config [--open NAME[,NAME...]]");
        return std::nullopt;
    }
    c.openWindows = std::get<std::vector<std::string>>(names);
    return c;
}

}  // namespace gc
