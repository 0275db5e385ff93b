#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace velnor {

namespace {

constexpr int ExitUsage = 2; // as velnor-cli's

void Describe(QCommandLineParser& parser) {
    parser.setApplicationDescription("Removes redundant whitespace from the web pages of a "
                                     "folder, in place, with a backup.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("FOLDER", "The folder to open instead of the one used last.",
                                 "[FOLDER]");
}

[[noreturn]] void Refuse(const QString& what) {
    std::fputs(qPrintable("velnor: " + what + " (see 'velnor --help')\n"), stderr);
    std::exit(ExitUsage);
}

void AnswerIfAsked(QCommandLineParser& parser, const QStringList& arguments, int argc,
                   char* argv[]) {
    if (!parser.isSet("help") && !parser.isSet("help-all") && !parser.isSet("version"))
        return;
    // process() prints the answer and ends the program. The help text asks the
    // application for the program's name; a core application needs no display.
    std::optional<QCoreApplication> core;
    if (!QCoreApplication::instance())
        core.emplace(argc, argv);
    parser.process(arguments);
}

} // namespace

std::optional<WindowCommandLine> ReadCommandLine(int argc, char* argv[], bool qtOptionsTaken) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    Describe(parser);
    if (!parser.parse(arguments)) {
        if (!qtOptionsTaken)
            return std::nullopt;
        Refuse(parser.errorText());
    }
    AnswerIfAsked(parser, arguments, argc, argv);
    const QStringList operands = parser.positionalArguments();
    if (operands.size() > 1)
        Refuse("only one FOLDER may be given, got '" + operands[1] + "'");
    if (operands.isEmpty())
        return WindowCommandLine{};
    // Qt reads arguments as UTF-8 and would lose a folder named in GBK.
    return WindowCommandLine{std::filesystem::path(argv[arguments.lastIndexOf(operands[0])])};
}

} // namespace velnor
