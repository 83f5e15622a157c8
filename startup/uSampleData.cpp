#include "startup/uSampleData.h"

#include "app/AppPaths.h"
#include "app/Errors.h"
#include "app/uApplication.h"
#include "app/uDatabase.h"
#include "measure/fEditDekigata.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "registers/uHacchusya.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "registers/ukouku.h"
#include "roadplan/uFormationHeight.h"
#include "sheets/uDekigataTorimatome.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace SampleData {
namespace {

const QString kAlias = u"tomaruk"_s;
const QString kMeasurer = u"山田　太郎"_s;
const QString kAgent = u"佐藤　一郎"_s;
const QString kBase = u"下層路盤工"_s;
const QString kUpperBase = u"上層路盤工"_s;

struct TProject
{
    QString Code;
    QString Name;
    QString Client;
    int Style;
};

const TProject kProjects[] = {
    {u"S001"_s, u"サンプル　国道５号　北栄地区舗装工事"_s, u"札幌開発建設部"_s, 0},
    {u"S002"_s, u"サンプル　道道環状線　緑町舗装工事"_s, u"札幌土木現業所"_s, 1},
    {u"S003"_s, u"サンプル　町道中央通　舗装工事"_s, u"石狩支庁"_s, 2},
};

// Differences in millimetres as a survey gives them: mostly small, a few near the limits.
const int kHeightDiffs[] = {12, -8, 5, 21, -15, 3, -27, 9, 0, 16, -4, 33, -11, 7, -19, 2, 24, -6, 14, -2};
const int kThicknessDiffs[] = {8, -3, 12, 5, -11, 2, 17, -6, 9, 0, -18, 4, 6, -1, 10, 3};

void CreateTables()
{
    TKoji().CreateTableIfMissing();
    TKosyu().CreateTableIfMissing();
    TKouku().CreateTableIfMissing();
    TSimei().CreateTableIfMissing();
    THacchusya().CreateTableIfMissing();
    TUkeoisya().CreateTableIfMissing();
    TKikakuti4().CreateTableIfMissing();
    TKelmo4Head().CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
    TFormationHeight().CreateTableIfMissing();
    TDekigataTorimatome().CreateTableIfMissing();
}

void AddPeople()
{
    for (const auto &[reading, name] : {std::pair{u"やまだ　たろう"_s, kMeasurer}, std::pair{u"さとう　いちろう"_s, kAgent}}) {
        TSimei person;
        person.Furigana = reading;
        person.Simei = name;
        person.Save();
    }
}

void AddStandards(int style)
{
    struct TStandard
    {
        const QString &Kosyu;
        QString Item, U1, D1, U2, D2;
    };
    const TStandard standards[] = {
        {kBase, u"基準高"_s, u"40"_s, u"-40"_s, u"30"_s, u"-30"_s},
        {kUpperBase, u"厚さ"_s, u"25"_s, u"-25"_s, u"20"_s, u"-20"_s},
    };
    for (const TStandard &s : standards) {
        TKikakuti4 standard;
        standard.Kubun = style;
        standard.Kosyu->LoadByName(s.Kosyu);
        standard.Koumokumei = s.Item;
        standard.KikakutiU1 = s.U1;
        standard.KikakutiD1 = s.D1;
        standard.KikakutiU2 = s.U2;
        standard.KikakutiD2 = s.D2;
        standard.Save();
    }
}

void AddProject(const TProject &p)
{
    TKoji koji;
    koji.Code = p.Code;
    koji.Kojimei = p.Name;
    koji.Yoshiki = p.Style;
    koji.Hacchusya->Hacchusyamei = p.Client;
    koji.Hacchusya->SyokuSimei = u"監督員　鈴木　次郎"_s;
    koji.Ukeoisya->Ukeoisyamei = u"北栄舗道株式会社"_s;
    koji.Ukeoisya->Jusyo = u"札幌市中央区北１条西２丁目"_s;
    koji.Ukeoisya->Kaisya = u"北栄舗道株式会社"_s;
    koji.Ukeoisya->Daihyosya = u"代表取締役　北村　健"_s;
    koji.Dairinin->LoadByName(kAgent);
    koji.Save();

    TKouku sections;
    sections.Koji->LoadByCode(p.Code);
    sections.RewriteList({u"第１工区"_s, u"第２工区"_s});
}

// A record of the project as the main window would store it: the header with the standard
// of its key, and one line per station with design, measured and difference texts.
int AddRecord(const TProject &p, bool thickness, const QDateTime &day)
{
    TKelmo4Head head;
    head.Koji->LoadByCode(p.Code);
    head.Kosyu->LoadByName(thickness ? kUpperBase : kBase);
    head.Kouku->Koukumei = thickness ? u"第２工区"_s : u"第１工区"_s;
    head.SokuteiKoumoku = thickness ? u"厚さ"_s : u"基準高"_s;
    head.Simei->LoadByName(kMeasurer);
    head.Hiduke = day;
    head.SokutenKyori = 20;
    head.SekkeiTanni = thickness ? u"㎜"_s : u"ｍ"_s;
    head.SaTanni = u"㎜"_s;
    head.Yukou = u"1"_s;
    // Classes a few millimetres wide, so the histogram shows the spread as a survey would.
    head.Bunpu = thickness ? u"4"_s : u"5"_s;
    head.Heikin = u"0.1"_s;
    head.Yosiki = thickness ? 1 : 0;
    head.Kikakuti->Kubun = p.Style;
    head.Kikakuti->Kosyu->LoadByName(head.Kosyu->Kosyumei);
    head.Kikakuti->Koumokumei = head.SokuteiKoumoku;
    head.Kikakuti->LoadByKey();
    head.Save();

    QList<TKel4LineRow> rows;
    const int count = thickness ? int(std::size(kThicknessDiffs)) : int(std::size(kHeightDiffs));
    for (int i = 0; i < count; ++i) {
        TKel4LineRow row;
        row.LNO = i + 1;
        row.Cells[0] = u"No.%1"_s.arg(i);
        if (thickness) {
            const int d = kThicknessDiffs[i];
            row.Cells[5] = u"150"_s;
            row.Cells[6] = QString::number(150 + d);
            row.Cells[7] = QString::number(d);
        } else {
            // A road rising 4 mm a station, its edges 40 mm below the crown; each side
            // measured off by the same pattern, shifted.
            const int centre = 12350 + 4 * i;
            for (int g = 0; g < 3; ++g) {
                const int design = g == 1 ? centre : centre - 40;
                const int d = kHeightDiffs[(i + 7 * g) % count];
                row.Cells[size_t(2 + 3 * g)] = QString::number(design / 1000.0, 'f', 3);
                row.Cells[size_t(3 + 3 * g)] = QString::number((design + d) / 1000.0, 'f', 3);
                row.Cells[size_t(4 + 3 * g)] = QString::number(d);
            }
        }
        rows.append(row);
    }
    rows[2].Cells[11] = u"横断側溝付近"_s;
    TKelmo4Line().ReplaceLines(head.ID, rows);
    return head.ID;
}

void RemoveTableFiles(const QString &folder)
{
    QDir dir(folder);
    for (const QString &file : dir.entryList({u"*.db"_s, u"*.db-journal"_s, u"*.db-wal"_s, u"*.db-shm"_s}, QDir::Files))
        if (!dir.remove(file))
            throw EFileError(u"サンプルデータのファイル「%1」を消せません。ほかのプログラムで開いていないか確かめてください。"_s.arg(
                QDir::toNativeSeparators(dir.filePath(file))));
}

} // namespace

QString Folder()
{
    return QDir(AppPaths::WorkingFolder()).filePath(u"sample"_s);
}

int Create(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw EFileError(u"サンプルデータのフォルダ「%1」を作れません。ホームフォルダに書き込めるか確かめてください。"_s.arg(
            QDir::toNativeSeparators(folder)));
    // The sample is written through the same classes as the windows use, in its own folder
    // for this call only; the configured folder comes back however it ends.
    struct TOverride
    {
        explicit TOverride(const QString &folder) { OverrideAliasPath(kAlias, folder); }
        ~TOverride() { OverrideAliasPath(kAlias, QString()); }
        TOverride(const TOverride &) = delete;
        TOverride &operator=(const TOverride &) = delete;
    };
    int first = 0;
    {
        const TOverride inSample(folder);
        TDatabase::Close();
        RemoveTableFiles(folder);
        CreateTables();
        TTransaction transaction;
        TKosyu().RewriteList({kBase, kUpperBase, u"表層工"_s});
        AddPeople();
        QDateTime day(QDate(2026, 10, 5), QTime(9, 0));
        for (const TProject &p : kProjects) {
            AddStandards(p.Style);
            AddProject(p);
            const int height = AddRecord(p, false, day);
            AddRecord(p, true, day.addDays(3));
            if (first == 0)
                first = height;
            day = day.addDays(7);
            TDekigataTorimatome summary;
            summary.Koji->LoadByCode(p.Code);
            summary.BuildFromMeasurements();
        }
        transaction.Commit();
    }
    return first;
}

void TryInMainWindow(TfrmEditDekigata *window)
{
    const QString folder = QDir::cleanPath(Folder());
    const QString own = QDir::cleanPath(GetAliasPath(kAlias));
    const bool inSample = own == folder;
    const QString where = QDir::toNativeSeparators(folder);
    QMessageBox ask(QMessageBox::Question, u"サンプルデータで試す"_s,
                    inSample ? u"いまはサンプルデータのフォルダ「%1」を使っています。作り直すと、そこでの変更は消えて"
                               "最初の見本に戻ります。"_s.arg(where)
                             : u"見本の工事（開発局・土木現業所・支庁の様式で一つずつ）を、サンプル用のデータフォルダ"
                               "「%1」に作り、そのフォルダに切り替えます。\n今のデータフォルダ「%2」の中身は変わりません。"_s
                                   .arg(where, QDir::toNativeSeparators(own)),
                    QMessageBox::Ok | QMessageBox::Cancel, window);
    ask.button(QMessageBox::Ok)->setText(inSample ? u"作り直す"_s : u"作って切り替える"_s);
    if (ask.exec() != QMessageBox::Ok || !window->ConfirmLeavingRecord())
        return;
    const int first = Create(folder);
    if (!inSample && !SetAliasPath(kAlias, folder)) {
        ShowErrorMessage(u"サンプルデータは「%1」に作りましたが、データフォルダの設定を書き込めないため、切り替えられません。"
                         "設定ファイル「%2」に書き込めるか確かめてください。"_s.arg(
                             where, QDir::toNativeSeparators(AppPaths::AliasFile())));
        return;
    }
    window->ShowRecord(first);
    const QString back = inSample ? u"元のデータに戻すには、「データ」－「工区の登録」の画面のメニュー「データパス」（環境設定）で、"
                                    "データフォルダを元のフォルダにして OK を押してください。"_s
                                  : u"元のデータに戻すには、「データ」－「工区の登録」の画面のメニュー「データパス」（環境設定）で、"
                                    "データフォルダを次のフォルダにして OK を押してください:\n%1"_s.arg(QDir::toNativeSeparators(own));
    QMessageBox::information(window, u"サンプルデータで試す"_s,
                             u"サンプルデータに切り替えました。メイン画面に見本の記録（基準高）を表示しています。"
                             "「工事名」ボタンでほかの記録を選べます。\n\n"_s
                                 + back);
}

} // namespace SampleData
