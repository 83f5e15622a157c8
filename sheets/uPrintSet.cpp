#include "sheets/uPrintSet.h"

#include "app/uHelp.h"
#include "app/uActivation.h"
#include "app/uCommon.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "measure/uKelmo4Head.h"
#include "printing/NkPrinter.h"
#include "printing/PrevX.h"
#include "printing/PrintJob.h"
#include "printing/fPrinterSetup.h"
#include "sheets/uBatchPrint.h"
#include "sheets/uToleranceSheet.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TfrmPrintSet *frmPrintSet = nullptr;

namespace {
const QStringList kHeadings{u"　"_s, u"工種"_s, u"測定項目"_s, u"工区名"_s,
                            u"ﾃﾞｰﾀｼｰﾄ"_s, u"ﾋｽﾄｸﾞﾗﾑ"_s, u"管理図"_s, u"ID"_s};
const int kWidths[] = {28, 110, 86, 100, 64, 64, 64, 40};
constexpr int kAllColumn = 1;
constexpr int kIdColumn = 8;
const QString kTicked = u"1"_s;

// The printer's copy count for the length of a batch.
class TCopiesSet
{
public:
    explicit TCopiesSet(int copies)
    {
        if (QPrinter *printer = NkPrinter().Printer()) {
            m_old = printer->copyCount();
            printer->setCopyCount(copies);
        }
    }
    ~TCopiesSet()
    {
        if (QPrinter *printer = NkPrinter().Printer())
            printer->setCopyCount(m_old);
    }
    TCopiesSet(const TCopiesSet &) = delete;
    TCopiesSet &operator=(const TCopiesSet &) = delete;

private:
    int m_old = 1;
};
} // namespace

// ---- the print dialog ---------------------------------------------------------------------

TfrmBatchPrintDialog::TfrmBatchPrintDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , PrinterBox(new QComboBox(this))
    , CopiesBox(new QSpinBox(this))
    , OkButton(new QPushButton(u"OK"_s, this))
    , CancelButton(new QPushButton(u"キャンセル"_s, this))
{
    setWindowTitle(u"印刷"_s);
    PrinterBox->addItems(NkPrinter().PrinterNames());
    PrinterBox->setCurrentText(NkPrinter().CurrentName());
    CopiesBox->setRange(1, 99);
    CopiesBox->setValue(1);

    auto *form = new QFormLayout;
    form->addRow(u"プリンタ"_s, PrinterBox);
    form->addRow(u"部数"_s, CopiesBox);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto *root = new QVBoxLayout(this);
    root->addLayout(form);
    root->addLayout(buttons);
    setMinimumWidth(440);

    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

// ---- the window -----------------------------------------------------------------------------

TfrmPrintSet::TfrmPrintSet(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , Label1(new QLabel(u"工事名"_s, this))
    , Edit1(new QLineEdit(this))
    , vaSpread1(new TSpread(this))
    , BitBtn1(new QPushButton(u"一括印刷"_s, this))
    , BitBtn3(new QPushButton(u"印刷の設定"_s, this))
    , BitBtn2(new QPushButton(u"閉じる(&C)"_s, this))
    , CheckBox1(new QCheckBox(u"ばらつき集計表"_s, this))
{
    setWindowTitle(u"印刷データ選択"_s);
    SetHelpTopic(this, u"printset"_s);
    setFont(QFont(u"ＭＳ Ｐゴシック"_s, 9));
    setFixedSize(640, 480);

    Label1->setGeometry(12, 14, 50, 20);
    Edit1->setGeometry(64, 12, 420, 22);
    vaSpread1->setGeometry(12, 44, 616, 380);
    vaSpread1->SetMaxCols(kColumns);
    vaSpread1->SetMaxRows(kRows);
    for (int c = 1; c <= kColumns; ++c) {
        vaSpread1->SetCellText(c, 0, kHeadings[c - 1]);
        vaSpread1->SetColWidth(c, kWidths[c - 1]);
    }
    const TSpreadBlock all = vaSpread1->AllCells();
    for (int c : {1, 5, 6, 7})
        vaSpread1->SetBlockCellType({c, 1, c, all.Row2}, TSpreadCellType::CheckBox);
    for (int c : {2, 3, 4, 8})
        vaSpread1->SetBlockLocked({c, 1, c, all.Row2}, true);

    BitBtn1->setGeometry(12, 440, 100, 28);
    BitBtn3->setGeometry(120, 440, 100, 28);
    BitBtn2->setGeometry(528, 440, 100, 28);
    CheckBox1->setGeometry(236, 444, 160, 20);
    CheckBox1->setToolTip(u"工事全体の出来形ばらつき集計表を、測定データの様式の後に一度印刷します"_s);

    connect(vaSpread1, &TSpread::Changed, this, &TfrmPrintSet::CellChanged);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmPrintSet::BatchPrint);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { ShowPrinterSetupDialog(this); });
    connect(BitBtn2, &QPushButton::clicked, this, &QWidget::close);
    new TActivationWatch(this, [this] { Activate(); });
}

void TfrmPrintSet::ConnectMenu(TfrmEditDekigata &main)
{
    QObject::connect(main.actPrint, &QAction::triggered, &main, [&main] {
        if (!frmPrintSet)
            frmPrintSet = new TfrmPrintSet;
        frmPrintSet->OpenForProject(main.ComboBox1->Text(), main.CheckBox2->isChecked());
    });
    main.actPrint->setEnabled(true);
}

void TfrmPrintSet::OpenForProject(const QString &projectText, bool weight)
{
    Edit1->setText(projectText);
    m_weight = weight;
    if (isVisible()) {
        Activate();
        raise();
        activateWindow();
    } else {
        show();
    }
}

void TfrmPrintSet::Activate()
{
    CenterInWorkArea(this);
    BuildList();
}

void TfrmPrintSet::BuildList()
{
    vaSpread1->ClearAll();
    CheckBox1->setChecked(true);
    const QList<TBatchRow> rows = BatchRowsOfProject(ItemCode(Edit1->text()));
    int r = 0;
    for (const TBatchRow &row : rows) {
        if (++r > kRows)
            break;
        const QString texts[kColumns] = {kTicked, row.Kosyumei, row.SokuteiKoumoku, row.Koukumei,
                                         kTicked, kTicked,      kTicked,            QString::number(row.ID)};
        for (int c = 1; c <= kColumns; ++c)
            vaSpread1->SetCellText(c, r, texts[c - 1]);
    }
}

void TfrmPrintSet::CellChanged(int col, int row)
{
    if (col != kAllColumn)
        return;
    const QString value = vaSpread1->CellText(kAllColumn, row);
    for (int c = 5; c <= 7; ++c)
        vaSpread1->SetCellText(c, row, value);
}

void TfrmPrintSet::BatchPrint()
{
    TPrevX::CheckPrinter();
    TfrmBatchPrintDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    NkPrinter().SelectPrinter(dialog.PrinterBox->currentText());
    const TCopiesSet copies(dialog.CopiesBox->value());

    QList<TBatchRow> rows;
    for (int r = 1; r <= vaSpread1->MaxRows(); ++r) {
        TBatchRow row;
        row.ID = int(TextToFloat(vaSpread1->CellText(kIdColumn, r)));
        row.DataSheet = vaSpread1->CellText(5, r) == kTicked;
        row.Histogram = vaSpread1->CellText(6, r) == kTicked;
        row.Chart = vaSpread1->CellText(7, r) == kTicked;
        rows.append(row);
    }
    if (NkPrinter().IsPdfPrinter()) {
        PrintAsOneJob(rows);
        return;
    }
    bool cancelled = false;
    RunBatch(rows, [this, &cancelled](TBatchForm form, const TKelmo4Head &head) {
        bool sent = false;
        switch (form) {
        case TBatchForm::DataSheet:
            sent = PrintDataSheetAll(head);
            break;
        case TBatchForm::Histogram:
            sent = PrintHistGramAll(head);
            break;
        case TBatchForm::Chart:
            sent = PrintXKanrizuAll(head);
            break;
        }
        cancelled = !sent;
        return sent;
    });
    if (!cancelled && CheckBox1->isChecked())
        PrintToleranceAll();
}

bool TfrmPrintSet::PrintToleranceAll()
{
    TPrevX job;
    DrawToleranceDocument(&job, ItemCode(Edit1->text()));
    return SendJob(&job);
}

void TfrmPrintSet::PrintAsOneJob(const QList<TBatchRow> &rows)
{
    // A job per form would be a file per form: one job asks for one file name and keeps
    // the forms in batch order, each page in its own orientation. A cancelled file name
    // prints nothing. The pages go out form by form, so the file may be of any length.
    const QString code = ItemCode(Edit1->text());
    TPrintJob job(u"一括印刷"_s, this, BatchFileTitle(code));
    WriteBatchRows(job, rows, m_weight, code, CheckBox1->isChecked());
    job.Finish();
}

bool TfrmPrintSet::SendJob(TPrevX *job)
{
    job->SetPrintFrom(1);
    job->SetPrintTo(job->PageCount());
    return job->Print();
}

bool TfrmPrintSet::PrintDataSheetAll(const TKelmo4Head &head)
{
    TPrevX job;
    DrawBatchForm(TBatchForm::DataSheet, &job, head, m_weight);
    return SendJob(&job);
}

bool TfrmPrintSet::PrintHistGramAll(const TKelmo4Head &head)
{
    TPrevX job;
    DrawBatchForm(TBatchForm::Histogram, &job, head, m_weight);
    return SendJob(&job);
}

bool TfrmPrintSet::PrintXKanrizuAll(const TKelmo4Head &head)
{
    TPrevX job;
    DrawBatchForm(TBatchForm::Chart, &job, head, m_weight);
    return SendJob(&job);
}
