#include "roadplan/fEditFormationHeight.h"

#include "app/Errors.h"
#include "app/uDatabase.h"
#include "app/uHelp.h"
#include "app/uSpread.h"
#include "measure/uKelmo4Head.h"
#include "registers/uKoji.h"
#include "roadplan/uFormationHeight.h"
#include "roadplan/uPrintFormationHeight.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

using namespace Qt::Literals::StringLiterals;
using namespace PlanLayout;

TfrmEditFormationHeight *frmEditFormationHeight = nullptr;

namespace {

const char16_t *const kHeadings[ColumnCount] = {
    u"転送",      u"測点",      u"距離",      u"設計高(L)", u"幅員(L)",
    u"勾配(L)",   u"計画値(C)", u"勾配(R)",   u"幅員(R)",   u"計画値(R)",
    u"縦断勾配",  u"ﾄﾝﾎﾞ(L)",   u"ﾄﾝﾎﾞ(R)",
};

const QString kCheckAll = u"すべてにチェック"_s;
const QString kUncheckAll = u"すべてはずす"_s;

// The plan computations write through this into the window's grid, as the program: no
// change events follow.
class TSpreadCells final : public TGridCells
{
public:
    explicit TSpreadCells(TSpread *grid)
        : m_grid(grid)
    {
    }
    int Rows() const override { return m_grid->MaxRows(); }
    QString Cell(int column, int row) const override
    {
        if (column < 1 || column > m_grid->MaxCols() || row < 1 || row > m_grid->MaxRows())
            return QString();
        return m_grid->CellText(column, row);
    }
    void SetCell(int column, int row, const QString &text) override
    {
        if (column < 1 || column > m_grid->MaxCols() || row < 1 || row > m_grid->MaxRows())
            return;
        m_grid->SetCellText(column, row, text);
    }

private:
    TSpread *m_grid;
};

} // namespace

TfrmEditFormationHeight::TfrmEditFormationHeight(QWidget *parent)
    : QMainWindow(parent)
    , vaSpread1(new TSpread)
    , Label1(new QLabel(u"測点距離"_s))
    , Edit1(new QLineEdit(u"40"_s))
    , Button1(new QPushButton(kCheckAll))
    , Button2(new QPushButton(u"保存"_s))
    , Button3(new QPushButton(u"印刷"_s))
    , Button4(new QPushButton(u"閉じる(&C)"_s))
    , m_formationHeight(new TFormationHeight(this))
{
    setWindowTitle(u"路面計画の入力"_s);
    setObjectName(u"frmEditFormationHeight"_s);
    SetHelpContext(this, 7);

    BuildGrid();

    // The grid takes every change of the window's height; the row below it keeps its
    // distance from the bottom edge.
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 8);
    layout->addWidget(vaSpread1, 1);
    auto *bottom = new QHBoxLayout;
    Edit1->setFixedWidth(64);
    bottom->addWidget(Label1);
    bottom->addWidget(Edit1);
    bottom->addSpacing(16);
    bottom->addWidget(Button1);
    bottom->addStretch(1);
    bottom->addWidget(Button2);
    bottom->addWidget(Button3);
    bottom->addWidget(Button4);
    layout->addLayout(bottom);
    setCentralWidget(central);

    BuildMenus();

    connect(vaSpread1, &TSpread::Changed, this, &TfrmEditFormationHeight::GridChanged);
    connect(vaSpread1, &TSpread::LeaveCell, this, &TfrmEditFormationHeight::GridLeaveCell);
    connect(Button1, &QPushButton::clicked, this, &TfrmEditFormationHeight::CheckAllClick);
    connect(Button2, &QPushButton::clicked, this, &TfrmEditFormationHeight::SavePlan);
    connect(Button3, &QPushButton::clicked, this, &TfrmEditFormationHeight::DrawPlan);
    connect(Button4, &QPushButton::clicked, this, &QWidget::close);

    resize(940, 600);
    m_formationHeight->CreateTableIfMissing();
}

TfrmEditFormationHeight::~TfrmEditFormationHeight() = default;

void TfrmEditFormationHeight::BuildGrid()
{
    vaSpread1->SetMaxCols(ColumnCount);
    vaSpread1->SetMaxRows(RowCount);
    for (int c = 1; c <= ColumnCount; ++c)
        vaSpread1->SetCellText(c, 0, QString::fromUtf16(kHeadings[c - 1]));
    vaSpread1->SetBlockCellType({CheckColumn, 1, CheckColumn, RowCount}, TSpreadCellType::CheckBox);
    vaSpread1->SetColWidth(CheckColumn, 40);
    vaSpread1->SetColWidth(StationColumn, 80);
    vaSpread1->SetColMaxBytes(StationColumn, TFormationHeight::TableDef().Field(u"SOKUTEN"_s)->Size);
    for (int c = DistanceColumn; c <= ColumnCount; ++c)
        vaSpread1->SetColWidth(c, 66);
    vaSpread1->SetBlockNumeric({DistanceColumn, 1, ColumnCount, RowCount}, true);
}

void TfrmEditFormationHeight::BuildMenus()
{
    QMenu *file = menuBar()->addMenu(u"ファイル"_s);
    actLoad = file->addAction(u"データ読込"_s, this, &TfrmEditFormationHeight::LoadPlan);
    actSave = file->addAction(u"データ保存"_s, this, &TfrmEditFormationHeight::SavePlan);
    actDelete = file->addAction(u"データ削除"_s, this, &TfrmEditFormationHeight::DeletePlan);
    actPrint = file->addAction(u"印刷"_s, this, &TfrmEditFormationHeight::DrawPlan);
    actClose = file->addAction(u"閉じる"_s, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(u"編集"_s);
    actInsertRow = edit->addAction(u"行挿入"_s, this, &TfrmEditFormationHeight::InsertRow);
    actDeleteRow = edit->addAction(u"行削除"_s, this, &TfrmEditFormationHeight::DeleteRow);

    QMenu *data = menuBar()->addMenu(u"データ"_s);
    actDistances = data->addAction(u"測点距離セット"_s, this, &TfrmEditFormationHeight::SetStationDistances);
    actInterpolate = data->addAction(u"設計値自動入力"_s, this, &TfrmEditFormationHeight::InterpolateDesign);
    actInterpolate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    actTransfer = data->addAction(u"データ転送"_s, this, [this] { TransferPlan(); });
}

QString TfrmEditFormationHeight::ProjectCode() const
{
    return m_head ? m_head->Koji->Code.trimmed() : QString();
}

bool TfrmEditFormationHeight::RefuseWithoutProject()
{
    if (!ProjectCode().isEmpty())
        return false;
    QMessageBox::information(this, u"ケルモ"_s, u"工事が選択されていません"_s);
    return true;
}

void TfrmEditFormationHeight::RecalcRow(int row)
{
    TSpreadCells cells(vaSpread1);
    FormationPlan::RecalcRow(cells, row);
}

void TfrmEditFormationHeight::SetStationDistances()
{
    TSpreadCells cells(vaSpread1);
    FormationPlan::SetStationDistances(cells);
    m_modified = true;
}

void TfrmEditFormationHeight::InterpolateDesign()
{
    TSpreadCells cells(vaSpread1);
    if (FormationPlan::InterpolateDesign(cells, vaSpread1->SelectedBlock()))
        m_modified = true;
}

int TfrmEditFormationHeight::TransferPlan()
{
    if (!m_measureGrid)
        return 0;
    TSpreadCells plan(vaSpread1);
    TSpreadCells measure(m_measureGrid);
    const int lines = FormationPlan::TransferPlan(plan, measure);
    if (lines > 0)
        Q_EMIT Transferred(lines);
    return lines;
}

void TfrmEditFormationHeight::CheckAllClick()
{
    TSpreadCells cells(vaSpread1);
    const bool on = Button1->text() == kCheckAll;
    FormationPlan::SetAllChecks(cells, on);
    Button1->setText(on ? kUncheckAll : kCheckAll);
}

void TfrmEditFormationHeight::SavePlan()
{
    if (RefuseWithoutProject())
        return;
    TSpreadCells cells(vaSpread1);
    FormationPlan::SavePlan(ProjectCode(), cells, &m_formationHeight->Version);
    m_modified = false;
    m_loaded = true;
    m_loadedCode = ProjectCode();
}

void TfrmEditFormationHeight::LoadPlan()
{
    const QString code = ProjectCode();
    TSpreadCells cells(vaSpread1);
    // Another project's rows must not stay behind and be saved under this one.
    if (m_loaded && code != m_loadedCode)
        vaSpread1->ClearAll();
    if (!code.isEmpty())
        FormationPlan::LoadPlan(code, cells, &m_formationHeight->Version);
    m_loaded = true;
    m_loadedCode = code;
    m_modified = false;
}

void TfrmEditFormationHeight::DeletePlan()
{
    if (RefuseWithoutProject())
        return;
    FormationPlan::DeletePlan(ProjectCode(), &m_formationHeight->Version);
    // What the grid still shows is no longer stored anywhere.
    m_modified = true;
}

void TfrmEditFormationHeight::DrawPlan()
{
    const TSpreadCells cells(vaSpread1);
    PreviewFormationPlan(this, cells, ProjectCode());
}

void TfrmEditFormationHeight::InsertRow()
{
    if (vaSpread1->ActiveRow() < 1)
        return;
    vaSpread1->InsertRow();
    m_modified = true;
}

void TfrmEditFormationHeight::DeleteRow()
{
    if (vaSpread1->ActiveRow() < 1)
        return;
    vaSpread1->DeleteRow();
    m_modified = true;
}

void TfrmEditFormationHeight::FormActivate()
{
    if (std::exchange(m_activating, true))
        return;
    struct TReset
    {
        bool &flag;
        ~TReset() { flag = false; }
    } reset{m_activating};

    const QString code = ProjectCode();
    if (m_loaded && code == m_loadedCode) {
        // Coming back to the same project: what the user typed and has not saved stays.
        if (!m_modified)
            LoadPlan();
        return;
    }
    if (m_loaded && m_modified && !m_loadedCode.isEmpty()) {
        const auto answer = QMessageBox::question(
            this, u"ケルモ"_s,
            u"工事「%1」の路面計画は保存されていません。保存しますか？"_s.arg(m_loadedCode),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer == QMessageBox::Yes) {
            TSpreadCells cells(vaSpread1);
            FormationPlan::SavePlan(m_loadedCode, cells, &m_formationHeight->Version);
        }
    }
    // A plan typed before any project was chosen stays and takes the stored rows over it.
    if (!(m_modified && m_loadedCode.isEmpty()))
        vaSpread1->ClearAll();
    m_loaded = false;
    LoadPlan();
}

void TfrmEditFormationHeight::GridChanged(int col, int row)
{
    // Widths, slopes and heights as an input method types them ("１．５") are read as half-width.
    if (col >= DistanceColumn)
        vaSpread1->HalfWidthCell(col, row);
    RecalcRow(row);
    m_modified = true;
}

void TfrmEditFormationHeight::GridLeaveCell(int col, int row, int newCol, int newRow)
{
    Q_UNUSED(row);
    Q_UNUSED(newCol);
    if (col != StationColumn)
        return;
    TSpreadCells cells(vaSpread1);
    const QString station = FormationPlan::StationProposal(cells, newRow, Edit1->text());
    if (station.isNull())
        return;
    vaSpread1->SetCellText(StationColumn, newRow, station);
    m_modified = true;
}

bool TfrmEditFormationHeight::event(QEvent *event)
{
    const bool result = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return result;
}
