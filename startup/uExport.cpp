#include "startup/uExport.h"

#include "app/AppPaths.h"
#include "app/Errors.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "app/uDekigataDef.h"
#include "app/uFileMoves.h"
#include "app/uTableCopy.h"
#include "printing/NkPrinter.h"
#include "printing/PageExport.h"
#include "printing/PdfPageWriter.h"
#include "printing/PngPageWriter.h"
#include "printing/PrevX.h"
#include "printing/uTestPage.h"
#include "registers/uKikakutiList.h"
#include "sheets/uBatchPrint.h"
#include "sheets/uDataSheet.h"
#include "sheets/uToleranceSheet.h"
#include "sheets/uTorimatomePrint.h"
#include "charts/uChartPrint.h"
#include "exchange/uRecordExport.h"
#include "sheets/uTorimatomeExport.h"
#include "measure/uKelmo4Head.h"
#include "roadplan/uPrintFormationHeight.h"
#include "startup/uRecordList.h"
#include "startup/uParadoxImport.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTextStream>
#include <map>

using namespace Qt::Literals::StringLiterals;

namespace {

struct TKnownForm
{
    const char16_t *Name;
    TExportInput Input;
};

constexpr TKnownForm kKnownForms[] = {
    {u"datasheet", TExportInput::Record}, {u"histogram", TExportInput::Record},
    {u"chart", TExportInput::Record},     {u"summary", TExportInput::Project},
    {u"batch", TExportInput::Project},    {u"roadplan", TExportInput::Project},
    {u"standards", TExportInput::Nothing}, {u"testpage", TExportInput::Nothing},
    {u"tolerance", TExportInput::Project},
    {u"csv", TExportInput::Record},        {u"xlsx", TExportInput::Record},
};

bool EndsWith(const QString &path, const char16_t *suffix)
{
    return path.endsWith(QString::fromUtf16(suffix), Qt::CaseInsensitive);
}

std::map<QString, TExportForm> &Forms()
{
    static std::map<QString, TExportForm> forms;
    return forms;
}

std::map<QString, TExportTable> &Tables()
{
    static std::map<QString, TExportTable> tables;
    return tables;
}

// A spreadsheet file rather than pages: the record forms csv and xlsx, the summary table to
// .csv or .xlsx, and a form with a table of its own (tolerance) to .csv.
bool IsTableOutput(const TExportOptions &options)
{
    return options.Form == u"csv"_s || options.Form == u"xlsx"_s
        || (options.Form == u"summary"_s && (EndsWith(options.Out, u".csv") || EndsWith(options.Out, u".xlsx")))
        || (Tables().count(options.Form) > 0 && EndsWith(options.Out, u".csv"));
}

// Forms written page by page as they are drawn: their length costs no memory.
using TExportPages = std::function<void(const TExportOptions &options, TPageSink &sink)>;

std::map<QString, TExportPages> &PageForms()
{
    static std::map<QString, TExportPages> forms;
    return forms;
}

TExportLister &Lister()
{
    static TExportLister lister;
    return lister;
}

// The forms whose modules are in place; a module built later adds its line here.
void RegisterBuiltInForms()
{
    if (!Lister())
        RegisterExportLister([](const TExportOptions &options, QTextStream &out) {
            WriteRecordList(options.Project, out);
        });
    if (Forms().count(u"testpage"_s) == 0)
        RegisterExportForm(u"testpage"_s, [](const TExportOptions &, TPrevX *prev) { DrawTestPage(prev); });
    if (Forms().count(u"roadplan"_s) == 0)
        RegisterExportForm(u"roadplan"_s, [](const TExportOptions &options, TPrevX *prev) {
            ExportFormationPlan(prev, options.Project);
        });
    if (Forms().count(u"summary"_s) == 0)
        RegisterExportForm(u"summary"_s, [](const TExportOptions &options, TPrevX *prev) {
            ExportTorimatome(prev, options.Project);
        });
    if (Forms().count(u"tolerance"_s) == 0)
        RegisterExportForm(u"tolerance"_s, [](const TExportOptions &options, TPrevX *prev) {
            ExportToleranceSheet(prev, options.Project);
        });
    if (Tables().count(u"tolerance"_s) == 0)
        RegisterExportTable(u"tolerance"_s, [](const TExportOptions &options) {
            CheckProjectRegistered(options.Project);
            return ToleranceCsv(options.Project);
        });
    if (Forms().count(u"standards"_s) == 0)
        RegisterExportForm(u"standards"_s, [](const TExportOptions &, TPrevX *prev) { DrawKikakutiListDocument(prev); });
    if (PageForms().count(u"batch"_s) == 0)
        PageForms()[u"batch"_s] = [](const TExportOptions &options, TPageSink &sink) {
            WriteBatchDocument(sink, options.Project, options.Weight);
        };
    if (Forms().count(u"chart"_s) == 0)
        RegisterExportForm(u"chart"_s, [](const TExportOptions &options, TPrevX *prev) {
            TKelmo4Head head;
            LoadRecordForPrint(head, options.Record);
            DrawChartDocument(prev, head, options.Weight);
        });
    if (Forms().count(u"histogram"_s) == 0)
        RegisterExportForm(u"histogram"_s, [](const TExportOptions &options, TPrevX *prev) {
            TKelmo4Head head;
            LoadRecordForPrint(head, options.Record);
            DrawHistogramDocument(prev, head, options.Weight);
        });
    if (Forms().count(u"datasheet"_s) == 0)
        RegisterExportForm(u"datasheet"_s, [](const TExportOptions &options, TPrevX *prev) {
            ExportDataSheet(options.Record, options.Weight, prev);
        });
}

class TUsageError
{
public:
    explicit TUsageError(QString message)
        : Message(std::move(message))
    {
    }
    QString Message;
};

QString TakeValue(const QStringList &args, qsizetype &i)
{
    const QString option = args.at(i);
    if (i + 1 >= args.size() || args.at(i + 1).startsWith(u"--"_s))
        throw TUsageError(option + u" の後に値がありません。"_s);
    return args.at(++i);
}

int PositiveNumber(const QString &option, const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value <= 0)
        throw TUsageError(option + u" には正の整数を指定してください: "_s + text);
    return value;
}

TExportOptions Parse(const QStringList &args, bool &help, bool &version)
{
    TExportOptions options;
    bool haveRecord = false;
    bool haveDpi = false;
    bool haveEncoding = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == u"--help"_s || arg == u"-h"_s) {
            help = true;
        } else if (arg == u"--version"_s) {
            version = true;
        } else if (arg == u"--data-dir"_s) {
            options.DataDir = TakeValue(args, i);
        } else if (arg == u"--weight"_s) {
            options.Weight = true;
        } else if (arg == u"--record"_s) {
            options.Record = PositiveNumber(arg, TakeValue(args, i));
            haveRecord = true;
        } else if (arg == u"--project"_s) {
            options.Project = TakeValue(args, i);
            if (options.Project.isEmpty())
                throw TUsageError(u"--project の工事コードが空です。"_s);
        } else if (arg == u"--form"_s) {
            options.Form = TakeValue(args, i);
        } else if (arg == u"--out"_s) {
            options.Out = TakeValue(args, i);
        } else if (arg == u"--dpi"_s) {
            options.Dpi = PositiveNumber(arg, TakeValue(args, i));
            if (options.Dpi > 2400)
                throw TUsageError(u"--dpi は 2400 以下にしてください。"_s);
            haveDpi = true;
        } else if (arg == u"--list"_s) {
            options.List = true;
        } else if (arg == u"--encoding"_s) {
            const QString encoding = TakeValue(args, i).toLower();
            if (encoding != u"shift_jis"_s && encoding != u"utf-8"_s)
                throw TUsageError(u"--encoding には shift_jis か utf-8 を指定してください: "_s + encoding);
            options.ShiftJis = encoding == u"shift_jis"_s;
            haveEncoding = true;
        } else if (arg == u"--import-paradox"_s) {
            options.ImportParadox = TakeValue(args, i);
        } else if (arg == u"--copy-to-alias"_s) {
            options.CopyToAlias = true;
        } else if (arg == u"--copy-to"_s) {
            options.CopyTo = TakeValue(args, i);
        } else {
            throw TUsageError(u"知らない引数です: "_s + arg);
        }
    }
    if (help || version)
        return options;
    if (options.CopyToAlias || !options.CopyTo.isEmpty()) {
        if (options.CopyToAlias && !options.CopyTo.isEmpty())
            throw TUsageError(u"--copy-to-alias と --copy-to は同時には指定できません。"_s);
        if (options.List || !options.Form.isEmpty() || !options.Out.isEmpty() || haveRecord || options.Weight || haveEncoding
            || haveDpi || !options.Project.isEmpty() || !options.ImportParadox.isEmpty())
            throw TUsageError(u"--copy-to-alias と --copy-to には --data-dir のほかは指定できません。"_s);
        if (options.CopyToAlias && options.DataDir.isEmpty())
            throw TUsageError(u"--copy-to-alias には、コピー元のフォルダを --data-dir で指定してください。"_s);
        return options;
    }
    if (!options.ImportParadox.isEmpty()) {
        if (options.List || !options.Form.isEmpty() || !options.Out.isEmpty() || haveRecord || options.Weight || haveEncoding
            || haveDpi || !options.Project.isEmpty())
            throw TUsageError(u"--import-paradox には --data-dir のほかは指定できません。"_s);
        return options;
    }
    if (options.List) {
        if (!options.Form.isEmpty() || !options.Out.isEmpty() || haveRecord || options.Weight || haveDpi || haveEncoding)
            throw TUsageError(u"--list には --data-dir と --project のほかは指定できません。"_s);
        return options;
    }
    if (options.Form.isEmpty())
        throw TUsageError(u"--form か --list を指定してください。"_s);
    bool known = false;
    const TExportInput input = ExportFormInput(options.Form, &known);
    if (!known)
        throw TUsageError(u"知らない書式です: "_s + options.Form);
    if (options.Out.isEmpty())
        throw TUsageError(u"--out で出力ファイルを指定してください。"_s);
    const bool ownTable = Tables().count(options.Form) > 0;
    if (options.Form == u"csv"_s || options.Form == u"xlsx"_s) {
        if (!EndsWith(options.Out, options.Form == u"csv"_s ? u".csv" : u".xlsx"))
            throw TUsageError(u"--form %1 の出力ファイルの名前は .%1 で終えてください: "_s.arg(options.Form) + options.Out);
    } else if (EndsWith(options.Out, u".csv") && !IsTableOutput(options)) {
        throw TUsageError(u"--form "_s + options.Form + u" は .csv には書けません。.pdf か .png にしてください: "_s
                          + options.Out);
    } else if (!EndsWith(options.Out, u".pdf") && !EndsWith(options.Out, u".png") && !IsTableOutput(options)) {
        throw TUsageError((options.Form == u"summary"_s ? u"出力ファイルの名前は .pdf、.png、.xlsx か .csv で終えてください: "_s
                           : ownTable             ? u"出力ファイルの名前は .pdf、.png か .csv で終えてください: "_s
                                                  : u"出力ファイルの名前は .pdf か .png で終えてください: "_s)
                          + options.Out);
    }
    if (haveEncoding && (!EndsWith(options.Out, u".csv") || ownTable))
        throw TUsageError(u"--encoding は csv・xlsx・summary を .csv に書き出すときだけ指定できます。"_s);
    if (input == TExportInput::Record && !haveRecord)
        throw TUsageError(u"--form "_s + options.Form + u" には --record を指定してください。"_s);
    if (input != TExportInput::Record && (haveRecord || options.Weight))
        throw TUsageError(u"--form "_s + options.Form + u" には --record と --weight は指定できません。"_s);
    if (input == TExportInput::Project && options.Project.isEmpty())
        throw TUsageError(u"--form "_s + options.Form + u" には --project を指定してください。"_s);
    if (input != TExportInput::Project && !options.Project.isEmpty())
        throw TUsageError(u"--form "_s + options.Form + u" には --project は指定できません。"_s);
    return options;
}

// --copy-to-alias / --copy-to: the alias as configured (never an override) is the target
// or, without --data-dir, the source.
void CopyFromCommandLine(const TExportOptions &options, QTextStream &out)
{
    const TDataSource configured = GetAliasSource(u"tomaruk"_s);
    TDataSource from = configured;
    if (!options.DataDir.isEmpty()) {
        if (!QFileInfo(options.DataDir).isDir())
            throw EFileError(u"データフォルダがありません: "_s + options.DataDir);
        from = TDataSource();
        from.Folder = options.DataDir.endsWith(u'/') ? options.DataDir : options.DataDir + u'/';
    }
    TDataSource to = configured;
    if (!options.CopyTo.isEmpty()) {
        to = TDataSource();
        to.Folder = options.CopyTo.endsWith(u'/') ? options.CopyTo : options.CopyTo + u'/';
    }
    if (!from.IsServer())
        FinishInterruptedMoves(from.Folder);
    const TTableCopyResult result = CopyTables(from, to);
    for (const auto &[table, rows] : result.Rows)
        out << table << u'\t' << rows << u'\n';
    out << u"%1 行をコピーしました: %2 → %3\n"_s.arg(QString::number(result.Total()), from.Describe(), to.Describe());
}

void Export(TExportOptions options, QTextStream &out, QTextStream &err)
{
    // Names on the command line are relative to where the program was started, not to the
    // working folder it moves into.
    if (!options.Out.isEmpty())
        options.Out = QFileInfo(options.Out).absoluteFilePath();
    if (!options.DataDir.isEmpty())
        options.DataDir = QFileInfo(options.DataDir).absoluteFilePath();
    if (!options.ImportParadox.isEmpty())
        options.ImportParadox = QFileInfo(options.ImportParadox).absoluteFilePath();
    if (!options.CopyTo.isEmpty())
        options.CopyTo = QFileInfo(options.CopyTo).absoluteFilePath();
    AppPaths::EnterWorkingFolder();
    if (options.CopyToAlias || !options.CopyTo.isEmpty()) {
        CopyFromCommandLine(options, out);
        return;
    }
    struct TOverride
    {
        bool Active = false;
        ~TOverride()
        {
            if (Active)
                OverrideAliasPath(u"tomaruk"_s, QString());
        }
    } dataDir;
    if (!options.DataDir.isEmpty()) {
        if (!QFileInfo(options.DataDir).isDir())
            throw EFileError(u"データフォルダがありません: "_s + options.DataDir);
        OverrideAliasPath(u"tomaruk"_s, options.DataDir);
        dataDir.Active = true;
    }
    // An import killed half-way may have been moving the defaults file too.
    if (const QString data = GetAliasPath(u"tomaruk"_s); QFileInfo(data).isDir())
        FinishInterruptedMoves(data);
    // The exporter only reads: a short or unreadable defaults file is reported once and the
    // values read (the built-in ones for the rest) are used; the file stays as it is.
    const QString defaults = QDir::current().absoluteFilePath(QString::fromLatin1(DekigataDefFileName));
    try {
        if (DekigataDef().Load(defaults, false) == TDekigataDef::LoadResult::ShortFileKept)
            err << u"警告: 標準値ファイル「%1」が %2 バイトで、%3 バイトに足りません。読めた分のほかは既定の値で出力します。"
                   "「オプション」-「標準値の登録」で保存し直してください。\n"_s.arg(
                       QDir::toNativeSeparators(defaults), QString::number(QFileInfo(defaults).size()),
                       QString::number(TDekigataDef::RecordSize));
    } catch (const EFileError &e) {
        err << u"警告: "_s << e.Message() << u"\n既定の値で出力します。\n"_s;
    }
    err.flush();
    // The page geometry must not depend on the machine's printers.
    NkPrinter().SetSource(TPrinterSource::PdfOnly);

    if (!options.ImportParadox.isEmpty()) {
        ImportParadoxFromCommandLine(options.ImportParadox, out);
        return;
    }
    if (options.List) {
        if (!Lister())
            throw EKelmoError(u"記録の一覧はまだ出力できません。"_s);
        Lister()(options, out);
        return;
    }
    if (IsTableOutput(options)) {
        if (Tables().count(options.Form) > 0) {
            const QByteArray bytes = Tables().at(options.Form)(options);
            // All or nothing: a failed write leaves no half file behind.
            QSaveFile file(options.Out);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
                throw EFileError(u"ファイル「%1」に書き込めません（%2）。書き込めるフォルダーを指定してください。"_s.arg(
                    QDir::toNativeSeparators(options.Out), file.errorString()));
            return;
        }
        const TCsvEncoding encoding = options.ShiftJis ? TCsvEncoding::ShiftJis : TCsvEncoding::Utf8Bom;
        if (options.Form == u"summary"_s)
            TorimatomeExport::WriteStored(options.Project, options.Out, encoding);
        else
            RecordExport::WriteStoredRecord(options.Record, options.Out, encoding);
        return;
    }
    if (const auto paged = PageForms().find(options.Form); paged != PageForms().end()) {
        if (options.Out.endsWith(u".pdf"_s, Qt::CaseInsensitive)) {
            TPdfPageWriter writer(options.Out, QString());
            paged->second(options, writer);
            writer.Finish();
        } else {
            TPngPageWriter writer(options.Out, options.Dpi);
            paged->second(options, writer);
        }
        return;
    }
    const auto found = Forms().find(options.Form);
    if (found == Forms().end())
        throw EKelmoError(u"書式「"_s + options.Form + u"」はまだ出力できません。"_s);
    TPrevX prev;
    found->second(options, &prev);
    if (prev.Canvas())
        prev.EndDoc();
    if (prev.PageCount() == 0)
        throw EKelmoError(u"書式「"_s + options.Form + u"」に印刷するページがありません。"_s);
    const QList<const TRecordedPage *> pages = prev.PagesInRange(1, prev.PageCount());
    if (options.Out.endsWith(u".pdf"_s, Qt::CaseInsensitive)) {
        SavePagesAsPdf(pages, options.Out, prev.Title());
    } else {
        SavePagesAsPng(pages, options.Out, options.Dpi);
    }
}

} // namespace

void RegisterExportForm(const QString &name, TExportForm draw)
{
    Forms()[name] = std::move(draw);
}

void RegisterExportTable(const QString &name, TExportTable write)
{
    Tables()[name] = std::move(write);
}

void RegisterExportLister(TExportLister list)
{
    Lister() = std::move(list);
}

TExportInput ExportFormInput(const QString &name, bool *known)
{
    for (const TKnownForm &form : kKnownForms) {
        if (name == QString::fromUtf16(form.Name)) {
            if (known)
                *known = true;
            return form.Input;
        }
    }
    if (known)
        *known = false;
    return TExportInput::Nothing;
}

QString ExportUsageText()
{
    return u"使い方:\n"
           "  kelmo4-export [--data-dir DIR] [--weight] --record ID  --form datasheet|histogram|chart --out FILE\n"
           "  kelmo4-export [--data-dir DIR]            --record ID  --form csv|xlsx --out FILE [--encoding shift_jis]\n"
           "  kelmo4-export [--data-dir DIR]            --project CODE --form summary|batch|roadplan|tolerance --out FILE\n"
           "  kelmo4-export [--data-dir DIR]            --form standards|testpage --out FILE\n"
           "  kelmo4-export [--data-dir DIR] --list [--project CODE]\n"
           "  kelmo4-export [--data-dir DIR] --import-paradox OLDDIR\n"
           "  kelmo4-export  --data-dir DIR  --copy-to-alias\n"
           "  kelmo4-export [--data-dir DIR] --copy-to NEWDIR\n"
           "FILE が .pdf なら PDF を一つ、.png ならページごとの画像 (FILE-001.png …, --dpi N、既定 150) を書きます。\n"
           "tolerance は .csv (UTF-8、BOM 付き) にも書けます。\n"
           "csv・xlsx と、.csv・.xlsx に書く summary は表計算ソフト用のファイルです。\n"_s;
}

QString ExportHelpText()
{
    return ExportUsageText()
        + u"\n"
          "引数:\n"
          "  --record ID         記録の ID（--list で分かります）。datasheet・histogram・chart・csv・xlsx に必要です。\n"
          "  --project CODE      工事コード。summary・batch・roadplan・tolerance に必要で、--list では一覧をその工事に絞ります。\n"
          "  --form NAME         書き出す帳票:\n"
          "                        datasheet  データシート        histogram  ヒストグラム\n"
          "                        chart      管理図              summary    出来形管理総括表（保存されているとりまとめ表）\n"
          "                        batch      工事の記録すべての帳票（一括印刷と同じページ）\n"
          "                        roadplan   路面計画            standards  規格値一覧\n"
          "                        testpage   印刷位置の確認用ページ\n"
          "                        tolerance  出来形ばらつき集計表（.csv なら記録ごとの数と率）\n"
          "                        csv        記録の行（グリッドの見出しと保存された値）を CSV に\n"
          "                        xlsx       記録の見出し情報と行を Excel ファイルに\n"
          "  --out FILE          書き出すファイル（.pdf か .png。csv は .csv、xlsx は .xlsx、summary は .xlsx・.csv、tolerance は .csv も可）。\n"
          "  --encoding NAME     CSV の文字コード: utf-8（既定、BOM 付き）か shift_jis（古い表計算ソフト用）。\n"
          "  --dpi N             PNG の解像度（1〜2400、既定 150）。\n"
          "  --weight            帳票を「重さ」の指定で作ります（メイン画面の「重さ」と同じ）。\n"
          "  --data-dir DIR      設定のデータフォルダの代わりに DIR の表を読みます。\n"
          "  --list              記録の一覧（ID、工事、工種、工区、測定項目）を書きます。\n"
          "  --import-paradox OLDDIR  旧版のデータフォルダを取り込みます。\n"
          "  --copy-to-alias     --data-dir のフォルダの表を、設定のデータの置き場（事務所のサーバーなど）へコピーします。\n"
          "  --copy-to NEWDIR    表を空のフォルダ NEWDIR へコピーします（コピー元は --data-dir か設定の置き場）。\n"
          "                      コピーは一つのトランザクションで行い、コピー先の表にデータがあれば何もしません。\n"
          "  --version           版数を表示します。\n"
          "  --help, -h          この説明を表示します。\n"
          "\n"
          "終了コード: 0 書き出した / 1 書き出せなかった（理由を表示します）/ 2 引数の誤り\n"
          "\n"
          "詳しくはヘルプ「kelmo4-export（コマンドライン）」: "_s
        + QDir::toNativeSeparators(QDir(AppPaths::HelpFolder()).filePath(u"export.html"_s)) + u"\n"_s;
}

int RunExport(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    RegisterBuiltInForms();
    TExportOptions options;
    bool help = false;
    bool version = false;
    try {
        options = Parse(arguments, help, version);
    } catch (const TUsageError &e) {
        err << e.Message << u'\n' << ExportUsageText();
        err.flush();
        return kExportUsageError;
    }
    if (help) {
        out << ExportHelpText();
        out.flush();
        return 0;
    }
    if (version) {
        out << u"kelmo4-export (ケルモ４) "_s << ProgramVersionText() << u'\n';
        out.flush();
        return 0;
    }
    try {
        Export(options, out, err);
    } catch (const EKelmoError &e) {
        err << e.Message() << u'\n';
        err.flush();
        return kExportFailure;
    } catch (const std::exception &e) {
        err << QString::fromUtf8(e.what()) << u'\n';
        err.flush();
        return kExportFailure;
    }
    out.flush();
    return 0;
}
