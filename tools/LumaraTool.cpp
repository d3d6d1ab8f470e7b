// The `lumara` command line: info, dump and render over the library. Exit
// status 0 on success, 1 when the work failed, 2 for a wrong use.

#include "Commands.h"
#include "ToolOptions.h"

#include <QApplication>
#include <QTextStream>
#include <exception>

namespace {

struct TCommand {
  const char* Name;
  const char* Summary;
  int (*Run)(const QStringList& Arguments);
};

const TCommand Commands[] = {
    {"info", "describe MIF files: objects, parts, vertices, fields, bounds, load time", RunInfo},
    {"dump", "write a MIF file as GeoJSON to standard output", RunDump},
    {"render", "paint MIF files as map layers into a PNG picture", RunRender},
};

QString Usage() {
  QString Text = "Usage: lumara COMMAND [options] FILE.mif...\n\nCommands:\n";
  for (const TCommand& Command : Commands)
    Text += QString("  %1  %2\n").arg(QString(Command.Name), -7).arg(Command.Summary);
  return Text + "\n'lumara COMMAND --help' describes the options of a command.\n";
}

// Each command parses the whole list: program name, command word, the rest.
int RunTool(const QStringList& Arguments) {
  if (Arguments.size() < 2) throw EUsageError("no command given");
  const QString& Word = Arguments[1];
  if (Word == "-h" || Word == "--help" || Word == "help") {
    QTextStream(stdout) << Usage();
    return 0;
  }
  for (const TCommand& Command : Commands)
    if (Word == Command.Name) return Command.Run(Arguments);
  throw EUsageError("unknown command \"" + Word.toStdString() + "\"");
}

int Fail(const char* What, int Status) {
  QTextStream Err(stderr);
  Err << "lumara: " << What << '\n';
  if (Status == 2)
    Err << "Run 'lumara --help' for the commands, 'lumara COMMAND --help' for their options.\n";
  return Status;
}

} // namespace

int main(int argc, char** argv) {
  try {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication Application(argc, argv);
    return RunTool(QApplication::arguments());
  } catch (const EUsageError& Error) {
    return Fail(Error.what(), 2);
  } catch (const std::exception& Error) {
    return Fail(Error.what(), 1);
  } catch (...) {
    return Fail("unexpected error", 1);
  }
}
