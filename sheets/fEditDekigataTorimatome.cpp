#include "sheets/fEditDekigataTorimatome.h"

#include "app/fListBox.h"
#include "app/fProgressBar.h"
#include "app/uActivation.h"
#include "app/uCommon.h"
#include "app/Errors.h"
#include "app/uDatabase.h"
#include "app/uHelp.h"
#include "app/uRowVersion.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "registers/uKoji.h"
#include "sheets/uDekigataTorimatome.h"
#include "sheets/uToleranceSheet.h"
#include "sheets/uTorimatomeExport.h"
#include "sheets/uTorimatomePrint.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <memory>

using namespace Qt::Literals::StringLiterals;

TfrmEditDekigataTorimatome *frmEditDekigataTorimatome = nullptr;

namespace {
const QStringList kHeadings{u"工種名"_s, u"測定項目"_s, u"工区"_s, u"測定基準"_s, u"規格値"_s, u"差単位"_s,
                            u"測定回数"_s, u"最大値"_s, u"最小値"_s, u"平均値"_s, u"備考"_s};
const int kWidths[] = {110, 80, 100, 90, 90, 50, 60, 60, 60, 60, 140};

// The progress window for the length of one build; closed however the build ends.
class TProgressShown
{
public:
    explicit TProgressShown(QWidget *owner)
    {
        m_window = frmProgressBar;
        if (!m_window) {
            m_own = std::make_unique<TfrmProgressBar>(owner);
            m_window = m_own.get();
        }
    }
    ~TProgressShown() { m_window->close(); }
    TProgressShown(const TProgressShown &) = delete;
    TProgressShown &operator=(const TProgressShown &) = delete;

    void Step(int position, int maximum)
    {
        if (!m_window->isVisible()) {
            m_window->ProgressBar1->setRange(0, maximum);
            CenterInWorkArea(m_window);
            m_window->show();
        }
        m_window->ProgressBar1->setValue(position);
        // Repaint only: the rows are being replaced inside one transaction, so no command
        // of the user may run in the middle of it.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    TfrmProgressBar *m_window = nullptr;
    std::unique_ptr<TfrmProgressBar> m_own;
};
} // namespace

TfrmEditDekigataTorimatome::TfrmEditDekigataTorimatome(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , Label1(new QLabel(u"工事名"_s, this))
    , Edit1(new QLineEdit(this))
    , Button1(new QPushButton(u"検索"_s, this))
    , vaSpread1(new TSpread(this))
    , Button3(new QPushButton(u"初期化"_s, this))
    , Button4(new QPushButton(u"プレビュー"_s, this))
    , Button5(new QPushButton(u"ばらつき集計"_s, this))
    , Button2(new QPushButton(u"登録"_s, this))
    , Button6(new QPushButton(u"Excel書き出し…"_s, this))
    , BitBtn1(new QPushButton(u"閉じる(&C)"_s, this))
    , m_record(new TDekigataTorimatome(this))
{
    setWindowTitle(u"出来形とりまとめ表"_s);
    setFont(QFont(u"ＭＳ Ｐゴシック"_s, 9));
    setFixedSize(1000, 560);
    SetHelpContext(this, 13);

    Label1->setGeometry(12, 14, 50, 20);
    Edit1->setGeometry(64, 12, 360, 22);
    Button1->setGeometry(432, 11, 75, 24);

    vaSpread1->setGeometry(12, 44, 976, 460);
    vaSpread1->SetMaxCols(kColumns);
    vaSpread1->SetMaxRows(kRows);
    for (int c = 1; c <= kColumns; ++c) {
        vaSpread1->SetCellText(c, 0, kHeadings[c - 1]);
        vaSpread1->SetColWidth(c, kWidths[c - 1]);
    }

    Button3->setGeometry(12, 520, 100, 28);
    Button5->setGeometry(450, 520, 100, 28);
    Button5->setToolTip(u"測定データの差が規格値の50%・80%以内にある数と率を工事全体で印刷します"_s);
    Button4->setGeometry(560, 520, 100, 28);
    Button2->setGeometry(670, 520, 100, 28);
    Button6->setGeometry(122, 520, 110, 28);
    BitBtn1->setGeometry(888, 520, 100, 28);

    connect(Button1, &QPushButton::clicked, this, &TfrmEditDekigataTorimatome::SearchProject);
    connect(Button3, &QPushButton::clicked, this, &TfrmEditDekigataTorimatome::Initialize);
    connect(Button2, &QPushButton::clicked, this, &TfrmEditDekigataTorimatome::Register);
    connect(Button4, &QPushButton::clicked, this, &TfrmEditDekigataTorimatome::Preview);
    connect(Button5, &QPushButton::clicked, this, &TfrmEditDekigataTorimatome::PreviewTolerance);
    connect(Button6, &QPushButton::clicked, this, &TfrmEditDekigataTorimatome::ExportTable);
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
    new TActivationWatch(this, [this] { Activate(); });

    CenterInWorkArea(this);
    m_record->CreateTableIfMissing();
}

void TfrmEditDekigataTorimatome::ConnectMenu(TfrmEditDekigata &main)
{
    QObject::connect(main.actSummary, &QAction::triggered, &main, [&main] {
        if (!frmEditDekigataTorimatome)
            frmEditDekigataTorimatome = new TfrmEditDekigataTorimatome;
        frmEditDekigataTorimatome->OpenForProject(main.ComboBox1->Text());
    });
    main.actSummary->setEnabled(true);
}

void TfrmEditDekigataTorimatome::OpenForProject(const QString &projectText)
{
    Edit1->setText(projectText);
    m_record->Koji->LoadByCode(ItemCode(projectText));
    if (isVisible()) {
        // Already open: showing again is no activation, so refill for the new project.
        Activate();
        raise();
        activateWindow();
    } else {
        show();
    }
}

void TfrmEditDekigataTorimatome::Activate()
{
    if (Edit1->text().isEmpty())
        return;
    m_record->Koji->LoadByCode(ItemCode(Edit1->text()));
    LoadGrid();
}

void TfrmEditDekigataTorimatome::LoadGrid()
{
    vaSpread1->ClearAll();
    TQuery q(u"select * from DekigataTorimatome4 where KojiCode=:KOJICODE"_s);
    q.SetParam(u"KOJICODE"_s, m_record->Koji->Code);
    q.Open();
    // The counter of the rows shown, for the save to see whether another program saved since.
    int counter = -1;
    for (; !q.Eof(); q.Next()) {
        counter = qMax(counter, LoadedRowVersion(q));
        m_record->ReadFromQuery(q);
        const int r = m_record->LNo;
        if (r < 1 || r > kRows)
            continue;
        const QString section = m_record->Koukumei == u"#"_s ? QString() : m_record->Koukumei;
        const QString texts[kColumns] = {m_record->Kosyumei, m_record->Komoku,   section,
                                         m_record->Kijun,    m_record->Kikakuti, m_record->SaTanni,
                                         m_record->Kaisu,    m_record->MaxValue, m_record->MinValue,
                                         m_record->AvgValue, m_record->Biko};
        for (int c = 1; c <= kColumns; ++c)
            vaSpread1->SetCellText(c, r, texts[c - 1]);
    }
    m_record->Version.Loaded(m_record->Koji->Code, counter);
    vaSpread1->SetActiveCell(1, 1);
}

void TfrmEditDekigataTorimatome::SaveGrid()
{
    m_record->Koji->LoadByCode(ItemCode(Edit1->text()));
    m_record->ReplaceRows([this] {
        for (int r = 1; r <= vaSpread1->MaxRows(); ++r) {
            if (vaSpread1->CellText(1, r).trimmed().isEmpty())
                continue;
            m_record->LNo = r;
            QString *fields[kColumns] = {&m_record->Kosyumei, &m_record->Komoku,   &m_record->Koukumei,
                                         &m_record->Kijun,    &m_record->Kikakuti, &m_record->SaTanni,
                                         &m_record->Kaisu,    &m_record->MaxValue, &m_record->MinValue,
                                         &m_record->AvgValue, &m_record->Biko};
            for (int c = 1; c <= kColumns; ++c)
                *fields[c - 1] = vaSpread1->CellText(c, r);
            try {
                m_record->Save();
            } catch (const EDatabaseError &error) {
                vaSpread1->SetActiveCell(1, r);
                throw EDatabaseError(u"%1 行目: %2"_s.arg(r).arg(error.Message()));
            }
        }
    });
}

bool TfrmEditDekigataTorimatome::LoadProjectOfEdit()
{
    const QString code = ItemCode(Edit1->text()).trimmed();
    if (code.isEmpty()) {
        QMessageBox::warning(this, u"ケルモ４"_s, u"工事が選択されていません"_s);
        return false;
    }
    m_record->Koji->LoadByCode(code);
    return true;
}

void TfrmEditDekigataTorimatome::SearchProject()
{
    TfrmListBox picker(this);
    picker.setWindowTitle(u"工事名"_s);
    QStringList projects;
    m_record->Koji->GetList(projects);
    picker.ListBox1->addItems(projects);
    picker.move(geometry().topLeft());
    if (picker.exec() != QDialog::Accepted)
        return;
    const QString chosen = picker.Result();
    if (chosen.isEmpty())
        return;
    m_record->Koji->LoadByCode(ItemCode(chosen));
    Edit1->setText(m_record->Koji->Code + u':' + m_record->Koji->Kojimei);
    LoadGrid();
}

void TfrmEditDekigataTorimatome::Initialize()
{
    if (!LoadProjectOfEdit())
        return;
    {
        TProgressShown progress(this);
        m_record->BuildFromMeasurements([&progress](int position, int maximum) { progress.Step(position, maximum); });
    }
    LoadGrid();
}

void TfrmEditDekigataTorimatome::Register()
{
    if (!LoadProjectOfEdit())
        return;
    SaveGrid();
}

void TfrmEditDekigataTorimatome::Preview()
{
    if (!LoadProjectOfEdit())
        return;
    SaveGrid();
    PreviewTorimatome(this, m_record->Koji->Code);
}

void TfrmEditDekigataTorimatome::PreviewTolerance()
{
    if (!LoadProjectOfEdit())
        return;
    PreviewToleranceSheet(this, m_record->Koji->Code);
}

void TfrmEditDekigataTorimatome::ExportTable()
{
    if (!LoadProjectOfEdit())
        return;
    QList<QStringList> rows;
    for (int r = 1; r <= vaSpread1->MaxRows(); ++r) {
        if (vaSpread1->CellText(1, r).trimmed().isEmpty())
            continue;
        QStringList texts;
        for (int c = 1; c <= kColumns; ++c)
            texts << vaSpread1->CellText(c, r);
        rows << texts;
    }
    if (rows.isEmpty()) {
        QMessageBox::warning(this, u"ケルモ４"_s,
                             u"とりまとめ表に行がありません。「初期化」で表を作ってから書き出してください。"_s);
        return;
    }
    const QString xlsx = u"Excel ファイル (*.xlsx)"_s;
    const QString csv = u"CSV ファイル、UTF-8 (*.csv)"_s;
    QString filter = xlsx;
    const QString proposed = m_record->Koji->Code + u"_取りまとめ表.xlsx"_s;
    QString path = QFileDialog::getSaveFileName(this, u"Excel書き出し"_s, proposed, xlsx + u";;"_s + csv, &filter);
    if (path.isEmpty())
        return;
    path = TExchangeTable::PathWithSuffix(path, filter == xlsx ? u".xlsx"_s : u".csv"_s);
    TorimatomeExport::Table(m_record->Koji->Code, m_record->Koji->Kojimei, rows).Write(path, TCsvEncoding::Utf8Bom);
}
