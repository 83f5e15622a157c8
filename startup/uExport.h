#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QTextStream;
class TPrevX;

// What the command line of kelmo4-export asked for.
struct TExportOptions
{
    QString DataDir;
    bool Weight = false; // the main window's "重さ" box
    int Record = 0;      // header ID, 0 when not given
    QString Project;
    QString Form;
    QString Out;
    int Dpi = 150;
    bool List = false;
    QString ImportParadox; // a folder of Paradox tables to take over
    bool ShiftJis = false; // CSV in Shift-JIS instead of UTF-8 with a byte order mark
    bool CopyToAlias = false; // copy the tables of --data-dir into the alias's data source
    QString CopyTo;           // copy the tables into this (empty) folder
};

// What a form needs on the command line besides --form and --out.
enum class TExportInput { Nothing, Record, Project };

// Draws the whole document of a form on Prev: paper, BeginDoc, pages, EndDoc. Failures
// are raised as EKelmoError.
using TExportForm = std::function<void(const TExportOptions &options, TPrevX *Prev)>;
// The bytes of a form's table, written when FILE ends in ".csv".
using TExportTable = std::function<QByteArray(const TExportOptions &options)>;
// Writes the --list lines (ID, project code, work type, section, item, tab-separated).
using TExportLister = std::function<void(const TExportOptions &options, QTextStream &out)>;

// Each form module registers its form under the name the command line uses.
void RegisterExportForm(const QString &name, TExportForm draw);
void RegisterExportLister(TExportLister list);
// A form that can also be written as a table.
void RegisterExportTable(const QString &name, TExportTable write);
// The form names the command line knows, and what each needs.
TExportInput ExportFormInput(const QString &name, bool *known = nullptr);

// The exit status of a usage error, and of any other failure.
constexpr int kExportUsageError = 2;
constexpr int kExportFailure = 1;

// Runs the exporter on its arguments (without the program name); returns the exit status.
int RunExport(const QStringList &arguments, QTextStream &out, QTextStream &err);

// The command line summary printed with a usage error.
QString ExportUsageText();
