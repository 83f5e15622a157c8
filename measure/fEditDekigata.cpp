#include "measure/fEditDekigata.h"

#include "app/Errors.h"
#include "app/RegistryUtility.h"
#include "app/fListBox.h"
#include "app/fSmallListBox.h"
#include "app/fVerInfo.h"
#include "app/uActivation.h"
#include "app/uApplication.h"
#include "app/uCommon.h"
#include "app/uDataPath.h"
#include "app/uDatabase.h"
#include "app/uDekigataDef.h"
#include "app/uHelp.h"
#include "app/uRowVersion.h"
#include "app/uSpread.h"
#include "measure/uDropDownBox.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "measure/uToleranceShares.h"
#include "printing/fPrinterSetup.h"
#include "registers/fEditKikakuti4.h"
#include "registers/fEditKoji.h"
#include "registers/fEditKosyu.h"
#include "registers/fEditKouku.h"
#include "registers/fEditSimei.h"
#include "registers/fRegisterWindow.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/ukouku.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>

#include <cmath>
#include <vector>

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

TfrmEditDekigata *frmEditDekigata = nullptr;

namespace {
// The tolerance box beside the buttons made the window wider than the old program's 772.
constexpr int kClientWidth = 924;
constexpr int kToleranceLeft = 772;
// Cell colours of the differences (0x00BBGGRR): outside the standard, outside 80 % or the
// company's own standard, and the plain cell.
constexpr quint32 kOutsideColor = 0x008080FF;
constexpr quint32 kNearLimitColor = 0x0060C0FF;
constexpr quint32 kPlainColor = 0x00FFFFFF;
constexpr int kClientHeight = 420;
constexpr int kStatusHeight = 20;

const char16_t *const kFormTypeNames[] = {u"高さ", u"厚さ", u"幅"};

// Widths of the measurement grid's columns 1..12; the left and right groups take the
// centre group's widths for "高さ".
constexpr int kColumnWidths[] = {70, 44, 56, 56, 44, 56, 56, 44, 56, 56, 44, 92};

// The measurement grid seen through the computations' cell interface.
class TSpreadCells final : public TGridCells
{
public:
    explicit TSpreadCells(TSpread *spread)
        : m_model(spread->Model())
    {
    }
    int Rows() const override { return m_model->Rows(); }
    QString Cell(int column, int row) const override { return m_model->Text(column, row); }
    void SetCell(int column, int row, const QString &text) override { m_model->SetText(column, row, text); }

private:
    TSpreadModel *m_model;
};

QLabel *MakeLabel(QWidget *parent, const QString &text, int x, int y, int w, int h = 22)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, w, h);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
    return label;
}

// A raised panel used as a button.
QLabel *MakePanel(QWidget *parent, const QString &text, const QString &hint, int x, int y, int w)
{
    auto *panel = new QLabel(text, parent);
    panel->setGeometry(x, y, w, 22);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setCursor(Qt::PointingHandCursor);
    panel->setToolTip(hint);
    return panel;
}

QString ArrowOf(TSpreadEnterDirection direction)
{
    switch (direction) {
    case TSpreadEnterDirection::Up: return u"↑"_s;
    case TSpreadEnterDirection::Next: return u"→"_s;
    case TSpreadEnterDirection::Down: return u"↓"_s;
    case TSpreadEnterDirection::Previous: return u"←"_s;
    case TSpreadEnterDirection::None: break;
    }
    return u"□"_s;
}
} // namespace

TfrmEditDekigata::TfrmEditDekigata(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(u"ケルモ"_s);
    setFont(QFont(u"ＭＳ ゴシック"_s, 9));
    setAttribute(Qt::WA_AlwaysShowToolTips);
    SetHelpContext(this, 20);

    BuildMenus();
    BuildControls();
    BuildStatusBar();
    ConnectControls();
    SetTabOrder();

    // Creation, before the defaults are loaded.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    StatusPanels[0]->setText(u"Ver."_s + GetFileVersionText(QCoreApplication::applicationFilePath(), u"FileVersion"_s));
    m_head = new TKelmo4Head(this);
    m_line = new TKelmo4Line;
    m_head->CreateTableIfMissing();
    m_line->CreateTableIfMissing();
    actSimulation->setVisible(IsSimulationEnabled());
    ShowGridModes();
    UseUnitDefaults = true;
    RestoreWindowSize();

    m_activation = new TActivationWatch(this, [this] { FormActivate(); });
}

TfrmEditDekigata::~TfrmEditDekigata()
{
    delete m_line;
    if (frmEditDekigata == this)
        frmEditDekigata = nullptr;
}

// ---- building ---------------------------------------------------------------------------

void TfrmEditDekigata::BuildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu(u"ファイル"_s);
    actPrint = file->addAction(u"印刷"_s);
    file->addSeparator();
    actSummary = file->addAction(u"取りまとめ表の作成"_s);
    actImportParadox = file->addAction(u"旧データの取り込み…"_s);
    actImportCsv = file->addAction(u"CSV読み込み…"_s);
    actExportRecord = file->addAction(u"書き出し…"_s);
    file->addSeparator();
    actDeleteData = file->addAction(u"データ削除"_s);
    actExit = file->addAction(u"終了"_s);
    actSimulation = file->addAction(u"Simulation"_s);
    actSimulation->setVisible(false);

    QMenu *edit = bar->addMenu(u"編集"_s);
    actInsertRow = edit->addAction(u"行挿入"_s);
    actDeleteRow = edit->addAction(u"行削除"_s);
    actCopyRow = edit->addAction(u"行コピー"_s);
    actPasteRow = edit->addAction(u"行貼付け"_s);
    edit->addSeparator();
    actBulkChange = edit->addAction(u"一括変更"_s);

    QMenu *data = bar->addMenu(u"データ"_s);
    actKoji = data->addAction(u"工事の登録"_s);
    actKosyu = data->addAction(u"工種の登録"_s);
    actKouku = data->addAction(u"工区の登録"_s);
    actSimei = data->addAction(u"氏名の登録"_s);
    actKikakuti = data->addAction(u"規格値の登録"_s);
    data->addSeparator();
    actRoadPlan = data->addAction(u"路面計画の入力"_s);

    QMenu *options = bar->addMenu(u"オプション"_s);
    actDefaults = options->addAction(u"標準値の登録"_s);
    actPrinterSetup = options->addAction(u"プリンタの設定"_s);

    QMenu *help = bar->addMenu(u"ヘルプ"_s);
    actHelp = help->addAction(u"ケルモのヘルプ"_s);
    actSampleData = help->addAction(u"サンプルデータで試す…"_s);
    actAbout = help->addAction(u"ケルモについて"_s);

    // Commands whose windows live elsewhere stay disabled until their code connects and
    // enables them.
    for (QAction *action : {actPrint, actSummary, actImportParadox, actImportCsv, actExportRecord, actSimulation,
                            actBulkChange, actKoji, actKosyu, actKouku, actSimei, actKikakuti, actRoadPlan,
                            actSampleData})
        action->setEnabled(false);
    connect(actPrinterSetup, &QAction::triggered, this, [this] { ShowPrinterSetupDialog(this); });
    // The register windows, shown without waiting.
    connect(actKoji, &QAction::triggered, this, [] { ShowRegisterWindow(frmEditKoji); });
    connect(actKosyu, &QAction::triggered, this, [] { ShowRegisterWindow(frmEditKosyu); });
    connect(actKouku, &QAction::triggered, this, [] { ShowRegisterWindow(frmEditKouku); });
    connect(actSimei, &QAction::triggered, this, [] { ShowRegisterWindow(frmEditSimei); });
    connect(actKikakuti, &QAction::triggered, this, [] { ShowRegisterWindow(frmEditKikakuti4); });
    for (QAction *action : {actKoji, actKosyu, actKouku, actSimei, actKikakuti})
        action->setEnabled(true);
    connect(actHelp, &QAction::triggered, this, [] { ShowHelpIndex(); });
    connect(actAbout, &QAction::triggered, this, [] {
        if (!FormVerInfo)
            return;
        // Shown without waiting: the main window stays usable beside it.
        FormVerInfo->show();
        FormVerInfo->raise();
        FormVerInfo->activateWindow();
    });
}

void TfrmEditDekigata::closeEvent(QCloseEvent *event)
{
    if (!ConfirmLeavingRecord()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    // The other windows live on hidden; the run ends with this one.
    if (event->isAccepted()) {
        // The run ends even when the window size cannot be kept.
        try {
            RememberWindowSize();
        } catch (const EKelmoError &e) {
            ShowErrorMessage(e.Message());
        }
        QCoreApplication::quit();
    }
}

void TfrmEditDekigata::BuildControls()
{
    auto *client = new QWidget(this);
    client->setMinimumSize(kClientWidth, kClientHeight - kStatusHeight);
    setCentralWidget(client);
    // Shown for every part of the window that has no tip of its own.
    client->setToolTip(u"工事名の登録はメニューの「データ～工事の登録」から行ってください。"_s);

    // Left block: the record's key and header, five rows.
    Panel1 = MakePanel(client, u"工事名"_s, u"工事内の工種+項目+工区リスト"_s, 4, 4, 64);
    ComboBox1 = new TDropDownBox(false, client);
    ComboBox1->setGeometry(70, 4, 446, 22);

    Panel2 = MakePanel(client, u"工種名"_s, u"工種+項目リスト"_s, 4, 30, 64);
    ComboBox2 = new TDropDownBox(true, client);
    ComboBox2->setGeometry(70, 30, 180, 22);
    MakeLabel(client, u"工区名"_s, 252, 30, 56);
    ComboBox3 = new TDropDownBox(true, client);
    ComboBox3->setGeometry(312, 30, 204, 22);

    MakeLabel(client, u"測定項目"_s, 4, 56, 62);
    ComboBox6 = new TDropDownBox(true, client);
    ComboBox6->setGeometry(70, 56, 110, 22);
    MakeLabel(client, u"測定日"_s, 182, 56, 48);
    ComboBox5 = new TDropDownBox(true, client);
    ComboBox5->setGeometry(234, 56, 106, 22);
    MakeLabel(client, u"測定者"_s, 342, 56, 46);
    ComboBox4 = new TDropDownBox(true, client);
    ComboBox4->setGeometry(392, 56, 124, 22);

    MakeLabel(client, u"測点距離"_s, 4, 82, 62);
    Edit5 = new QLineEdit(client);
    Edit5->setGeometry(70, 82, 50, 22);
    MakeLabel(client, u"入力単位"_s, 122, 82, 60);
    MakeLabel(client, u"設計・測定値"_s, 184, 82, 82);
    ComboBox7 = new TDropDownBox(true, client);
    ComboBox7->setGeometry(268, 82, 56, 22);
    MakeLabel(client, u"差"_s, 326, 82, 20);
    ComboBox8 = new TDropDownBox(true, client);
    ComboBox8->setGeometry(350, 82, 56, 22);
    for (TDropDownBox *box : {ComboBox7, ComboBox8})
        box->addItems({u"ｍ"_s, u"㎝"_s, u"㎜"_s});

    MakeLabel(client, u"出力単位(mm)"_s, 4, 108, 86);
    MakeLabel(client, u"有効"_s, 90, 108, 32);
    Edit2 = new QLineEdit(client);
    Edit2->setGeometry(124, 108, 44, 22);
    MakeLabel(client, u"分布"_s, 168, 108, 32);
    Edit3 = new QLineEdit(client);
    Edit3->setGeometry(202, 108, 44, 22);
    MakeLabel(client, u"平均"_s, 246, 108, 32);
    Edit4 = new QLineEdit(client);
    Edit4->setGeometry(280, 108, 44, 22);

    RadioGroup1 = new QGroupBox(u"様式"_s, client);
    RadioGroup1->setGeometry(332, 100, 184, 36);
    m_formButtons = new QButtonGroup(this);
    auto *radioLayout = new QHBoxLayout(RadioGroup1);
    radioLayout->setContentsMargins(8, 0, 4, 2);
    for (int i = 0; i < 3; ++i) {
        auto *button = new QRadioButton(QString::fromUtf16(kFormTypeNames[i]), RadioGroup1);
        radioLayout->addWidget(button);
        m_formButtons->addButton(button, i);
    }
    m_formButtons->setExclusive(true);

    // Right block: limits, totals, buttons, check boxes.
    vaSpread2 = new TSpread(client);
    vaSpread2->setGeometry(522, 4, 176, 66);
    vaSpread2->SetMaxCols(2);
    vaSpread2->SetMaxRows(2);
    vaSpread2->SetCellText(1, 0, u"規格値(mm)"_s);
    vaSpread2->SetCellText(2, 0, u"規格値２"_s);
    vaSpread2->SetCellText(0, 1, u"上限"_s);
    vaSpread2->SetCellText(0, 2, u"下限"_s);
    vaSpread2->SetColWidth(0, 38);
    vaSpread2->SetColWidth(1, 66);
    vaSpread2->SetColWidth(2, 66);
    vaSpread2->SetRowHeight(20);
    vaSpread2->SetHeadingHeight(20);
    vaSpread2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vaSpread2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    vaSpread3 = new TSpread(client);
    vaSpread3->setGeometry(522, 74, 176, 64);
    vaSpread3->SetMaxCols(1);
    vaSpread3->SetMaxRows(3);
    vaSpread3->SetColHeadersVisible(false);
    vaSpread3->SetCellText(0, 1, u"差の合計"_s);
    vaSpread3->SetCellText(0, 2, u"測点数"_s);
    vaSpread3->SetCellText(0, 3, u"平均値"_s);
    vaSpread3->SetColWidth(0, 70);
    vaSpread3->SetColWidth(1, 100);
    vaSpread3->SetRowHeight(20);
    vaSpread3->SetBlockLocked(vaSpread3->AllCells(), true);
    vaSpread3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vaSpread3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The tolerance figures of the grid on screen, beside the totals: nothing of it is stored.
    vaSpread4 = new TSpread(client);
    vaSpread4->setGeometry(kToleranceLeft, 4, 148, 126);
    vaSpread4->SetMaxCols(2);
    vaSpread4->SetMaxRows(5);
    vaSpread4->SetCellText(1, 0, u"数"_s);
    vaSpread4->SetCellText(2, 0, u"率(%)"_s);
    const char16_t *const bands[] = {u"50%以内", u"80%以内", u"規格値以内", u"規格値外", u"社内規格外"};
    for (int r = 1; r <= 5; ++r)
        vaSpread4->SetCellText(0, r, QString::fromUtf16(bands[r - 1]));
    vaSpread4->SetColWidth(0, 66);
    vaSpread4->SetColWidth(1, 32);
    vaSpread4->SetColWidth(2, 44);
    vaSpread4->SetRowHeight(20);
    vaSpread4->SetHeadingHeight(20);
    vaSpread4->SetBlockLocked(vaSpread4->AllCells(), true);
    vaSpread4->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vaSpread4->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vaSpread4->setFocusPolicy(Qt::NoFocus);
    vaSpread4->setToolTip(u"画面の差が規格値のどこにあるか（登録はされません）"_s);
    ToleranceLabel = new QLabel(client);
    ToleranceLabel->setGeometry(kToleranceLeft, 134, 148, 22);
    ToleranceLabel->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);

    BitBtn1 = new QPushButton(u"登録"_s, client);
    BitBtn2 = new QPushButton(u"ﾃﾞｰﾀｼｰﾄ"_s, client);
    BitBtn3 = new QPushButton(u"ﾋｽﾄｸﾞﾗﾑ"_s, client);
    BitBtn4 = new QPushButton(u"管理図"_s, client);
    int y = 4;
    for (QPushButton *button : {BitBtn1, BitBtn2, BitBtn3, BitBtn4}) {
        button->setGeometry(702, y, 66, 30);
        y += 34;
    }
    CheckBox3 = new QCheckBox(u"80%"_s, client);
    CheckBox3->setGeometry(526, 142, 56, 18);
    CheckBox2 = new QCheckBox(u"重さ"_s, client);
    CheckBox2->setGeometry(588, 142, 56, 18);
    CheckBox1 = new QCheckBox(u"下がり"_s, client);
    CheckBox1->setGeometry(650, 142, 70, 18);

    // The measurement grid.
    vaSpread1 = new TSpread(client);
    vaSpread1->setGeometry(4, 164, kClientWidth - 8, kClientHeight - kStatusHeight - 168);
    vaSpread1->SetMaxCols(ColumnCount);
    vaSpread1->SetMaxRows(RowCount);
    for (int c = 1; c <= ColumnCount; ++c) {
        vaSpread1->SetCellText(c, 0, ColumnHeading(c));
        vaSpread1->SetColWidth(c, kColumnWidths[c - 1]);
    }
    vaSpread1->SetColWidth(0, 40);
    vaSpread1->SetRowHeight(20);
    vaSpread1->SetBlockNumeric({DesignColumn(0), 1, DiffColumn(2), RowCount}, true);
    vaSpread2->SetBlockNumeric({1, 1, 2, 2}, true);
}

void TfrmEditDekigata::BuildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(kStatusHeight);
    const int widths[] = {100, 35, 25, 50, 50};
    for (int i = 0; i < 5; ++i) {
        auto *panel = new QLabel(bar);
        panel->setFixedWidth(widths[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAlignment(i < 4 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        bar->addWidget(panel);
        StatusPanels[i] = panel;
    }
    StatusPanels[1]->installEventFilter(this);
    StatusPanels[2]->installEventFilter(this);
    StatusHint = new QLabel(bar);
    StatusHint->setVisible(false);
    bar->addWidget(StatusHint, 1);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

void TfrmEditDekigata::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The grid takes the room beyond the designed size; the other controls keep their places.
    if (const QWidget *client = centralWidget())
        vaSpread1->setGeometry(4, 164, client->width() - 8, client->height() - 168);
}

void TfrmEditDekigata::RestoreWindowSize()
{
    const QStringList size = ReadSetting(u"K4_MainWindowSize"_s).split(u'x');
    if (size.size() == 2) {
        const int w = size.at(0).toInt(), h = size.at(1).toInt();
        if (w > 0 && h > 0)
            resize(qMax(w, minimumSizeHint().width()), qMax(h, minimumSizeHint().height()));
    }
    if (ReadSetting(u"K4_MainWindowMaximized"_s) == u"TRUE"_s)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TfrmEditDekigata::RememberWindowSize()
{
    const bool maximized = isMaximized();
    WriteSetting(u"K4_MainWindowMaximized"_s, maximized ? u"TRUE"_s : u"FALSE"_s);
    // The size to come back to from the maximised state.
    const QSize size = maximized ? normalGeometry().size() : this->size();
    if (size.isValid())
        WriteSetting(u"K4_MainWindowSize"_s, u"%1x%2"_s.arg(size.width()).arg(size.height()));
}

void TfrmEditDekigata::SetTabOrder()
{
    QList<QWidget *> order = {ComboBox1, ComboBox2, ComboBox3, ComboBox6, ComboBox5, ComboBox4,
                              Edit5,     ComboBox7, ComboBox8, Edit2,     Edit3,     Edit4};
    for (QAbstractButton *b : m_formButtons->buttons())
        order.append(b);
    order << vaSpread2 << vaSpread3 << vaSpread1 << BitBtn1 << BitBtn2 << BitBtn3 << BitBtn4 << CheckBox3
          << CheckBox2 << CheckBox1;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TfrmEditDekigata::ConnectControls()
{
    // Lists refilled each time they open.
    ComboBox1->FillList = [this](QStringList &items) { m_head->Koji->GetList(items); };
    ComboBox2->FillList = [this](QStringList &items) { m_head->Kosyu->GetList(items); };
    ComboBox3->FillList = [this](QStringList &items) {
        m_head->Kouku->Koji->LoadByCode(m_head->Koji->Code);
        m_head->Kouku->GetList(items);
    };
    ComboBox6->FillList = [this](QStringList &items) { m_head->ListMeasureItems(items); };
    ComboBox5->FillList = [this](QStringList &items) { m_head->ListDates(items); };
    ComboBox4->FillList = [this](QStringList &items) { m_head->Simei->GetList(items); };

    // A choice runs the look-up, then the box's change handling.
    // Another record is asked for: edits not registered are kept or dropped by the user.
    connect(ComboBox1, &QComboBox::activated, this, [this] {
        if (ConfirmLeavingRecord(ComboBox1, 0))
            ProjectChosen();
    });
    connect(ComboBox2, &QComboBox::activated, this, [this] {
        if (ConfirmLeavingRecord(ComboBox2, 1))
            ShowKeyLimits(KosyuChosen());
    });
    connect(ComboBox3, &QComboBox::activated, this, [this] {
        if (ConfirmLeavingRecord(ComboBox3, 2))
            KoukuChosen();
    });
    connect(ComboBox6, &QComboBox::activated, this, [this] {
        if (ConfirmLeavingRecord(ComboBox6, 3))
            ShowKeyLimits(ItemChosen());
    });
    // A typed key is the key of the record being typed; it has no stored record yet.
    for (TDropDownBox *box : {ComboBox2, ComboBox3, ComboBox6}) {
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this] {
            RememberKey();
            ShowRecordId(0);
        });
    }
    connect(ComboBox4, &QComboBox::activated, this, &TfrmEditDekigata::MeasurerChosen);
    connect(ComboBox8, &QComboBox::activated, this, &TfrmEditDekigata::LimitYukou);
    // Typing: only the user's own edits, never the program's.
    connect(ComboBox2->lineEdit(), &QLineEdit::textEdited, this, &TfrmEditDekigata::ShowLimits);
    connect(ComboBox6->lineEdit(), &QLineEdit::textEdited, this, &TfrmEditDekigata::ShowLimits);
    connect(ComboBox8->lineEdit(), &QLineEdit::textEdited, this, &TfrmEditDekigata::LimitYukou);

    // "有効": the display follows every change; leaving it keeps it within the difference unit.
    connect(Edit2, &QLineEdit::textChanged, this, &TfrmEditDekigata::ApplyDisplayDecimals);
    connect(Edit2, &QLineEdit::editingFinished, this, &TfrmEditDekigata::LimitYukou);

    connect(m_formButtons, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == m_formType)
            return;
        // The new form type clears the grid.
        if (!ConfirmLeavingRecord()) {
            const QSignalBlocker blocker(m_formButtons);
            if (QAbstractButton *button = m_formButtons->button(m_formType))
                button->setChecked(true);
            return;
        }
        m_formType = id;
        ApplyFormType();
    });

    // Values as an input method types them ("１２．５") are read as half-width.
    for (QLineEdit *edit : {Edit5, Edit2, Edit3, Edit4})
        HalfWidthWhileTyping(edit);
    connect(vaSpread2, &TSpread::Changed, vaSpread2, &TSpread::HalfWidthCell);
    // Typed limits move the bands at once.
    connect(vaSpread2, &TSpread::Changed, this, &TfrmEditDekigata::ShowToleranceFigures);
    // The display of the values follows the input unit as well as "有効".
    connect(ComboBox7, &QComboBox::currentTextChanged, this, &TfrmEditDekigata::ApplyDisplayDecimals);

    connect(vaSpread1, &TSpread::Changed, this, &TfrmEditDekigata::GridChanged);
    connect(vaSpread1, &TSpread::Pasted, this, &TfrmEditDekigata::GridPasted);
    connect(vaSpread1, &TSpread::LeaveCell, this, &TfrmEditDekigata::GridLeaveCell);
    connect(vaSpread1, &TSpread::RightClick, this, &TfrmEditDekigata::GridRightClick);

    connect(BitBtn1, &QPushButton::clicked, this, &TfrmEditDekigata::Register);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { PrintRecord(TRecordForm::DataSheet); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { PrintRecord(TRecordForm::Histogram); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { PrintRecord(TRecordForm::ControlChart); });
    connect(CheckBox3, &QCheckBox::toggled, this,
            [](bool on) { WriteSetting(u"80percent"_s, on ? u"TRUE"_s : u"FALSE"_s); });

    Panel1->installEventFilter(this);
    Panel2->installEventFilter(this);

    connect(actDeleteData, &QAction::triggered, this, &TfrmEditDekigata::DeleteRecord);
    connect(actExit, &QAction::triggered, this, &QWidget::close);
    connect(actInsertRow, &QAction::triggered, this, &TfrmEditDekigata::InsertGridRow);
    connect(actDeleteRow, &QAction::triggered, this, &TfrmEditDekigata::DeleteGridRow);
    connect(actCopyRow, &QAction::triggered, vaSpread1, &TSpread::ClipboardCopy);
    connect(actPasteRow, &QAction::triggered, vaSpread1, &TSpread::ClipboardPaste);
    connect(actDefaults, &QAction::triggered, this, [this] {
        if (!frmDataPath || frmDataPath->exec() != QDialog::Accepted)
            return;
        // A record not yet begun takes the new defaults at once; a record on screen keeps its units.
        if (StatusPanels[3]->text().isEmpty() && GridIsEmpty())
            ApplyUnitDefaults();
    });
}

bool TfrmEditDekigata::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == Panel1)
            Panel1Click();
        else if (watched == Panel2)
            Panel2Click();
        else if (watched == StatusPanels[1])
            ToggleEditMode();
        else if (watched == StatusPanels[2])
            NextEnterDirection();
        else
            return QMainWindow::eventFilter(watched, event);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- window and header ------------------------------------------------------------------

void TfrmEditDekigata::FormToHeader()
{
    TKelmo4Head &h = *m_head;
    h.Koji->LoadByCode(ItemCode(ComboBox1->Text()));
    h.Kosyu->LoadByName(ComboBox2->Text());
    h.Kouku->Koukumei = ComboBox3->Text().isEmpty() ? QString::fromUtf16(NoSectionName) : ComboBox3->Text();
    h.SokuteiKoumoku = ComboBox6->Text();
    const QDate date = TextToDate(ComboBox5->Text());
    h.Hiduke = date.isValid() ? QDateTime(date, QTime(0, 0)) : QDateTime();
    h.Simei->LoadByName(ComboBox4->Text());
    h.SokutenKyori = int(std::trunc(TextToFloat(Edit5->text())));
    h.SekkeiTanni = ComboBox7->Text();
    h.SaTanni = ComboBox8->Text();
    h.Yukou = Edit2->text();
    h.Bunpu = Edit3->text();
    h.Heikin = Edit4->text();
    h.Kikakuti->Kubun = h.Koji->Yoshiki;
    h.Kikakuti->Kosyu->LoadByName(h.Kosyu->Kosyumei);
    h.Kikakuti->Koumokumei = h.SokuteiKoumoku;
    h.Kikakuti->KikakutiU1 = vaSpread2->CellText(1, 1);
    h.Kikakuti->KikakutiD1 = vaSpread2->CellText(1, 2);
    h.Kikakuti->KikakutiU2 = vaSpread2->CellText(2, 1);
    h.Kikakuti->KikakutiD2 = vaSpread2->CellText(2, 2);
    h.Yosiki = qMax(0, m_formType);
    h.Sagari = CheckBox1->isChecked();
}

void TfrmEditDekigata::HeaderToForm()
{
    TKelmo4Head &h = *m_head;
    ComboBox1->SetText(h.Koji->Code.isEmpty() ? QString() : h.Koji->Code + u':' + h.Koji->Kojimei);
    ComboBox2->SetText(h.Kosyu->Kosyumei);
    ComboBox3->SetText(h.Kouku->Koukumei == QStringView(NoSectionName) ? QString() : h.Kouku->Koukumei);
    ComboBox6->SetText(h.SokuteiKoumoku);
    ComboBox5->SetText(h.Hiduke.isValid() ? h.Hiduke.date().toString(u"yyyy/MM/dd"_s) : QString());
    ComboBox4->SetText(h.Simei->Simei);
    {
        const QSignalBlocker b5(Edit5), b3(Edit3), b4(Edit4);
        Edit5->setText(QString::number(h.SokutenKyori));
        Edit3->setText(h.Bunpu);
        Edit4->setText(h.Heikin);
    }
    ComboBox7->SetText(h.SekkeiTanni);
    ComboBox8->SetText(h.SaTanni);
    Edit2->setText(h.Yukou);
    h.Kosyu->LoadByName(h.Kikakuti->Kosyu->Kosyumei);
    UseUnitDefaults = false;
    SetFormType(h.Yosiki);
    UseUnitDefaults = true;
    // After the form type: the record's own limits, never those of the previous one.
    ShowLimitCells();
    ApplyDisplayDecimals();
    ShowRecordId(h.ID);
    ComboBox6->SetText(h.SokuteiKoumoku);
    {
        const QSignalBlocker b(CheckBox1);
        CheckBox1->setChecked(h.Sagari);
    }
    RememberKey();
}

void TfrmEditDekigata::ShowRecordId(int id)
{
    StatusPanels[3]->setText(id > 0 ? QString::number(id) : QString());
}

QStringList TfrmEditDekigata::KeyTexts() const
{
    return {ComboBox1->Text(), ComboBox2->Text(), ComboBox3->Text(), ComboBox6->Text()};
}

void TfrmEditDekigata::RememberKey()
{
    m_key = KeyTexts();
}

bool TfrmEditDekigata::ConfirmLeavingRecord(TDropDownBox *keyBox, int keyIndex)
{
    if (!m_gridModified)
        return true;
    const QString chosen = keyBox ? keyBox->Text() : QString();
    const QString previous = keyBox && keyIndex >= 0 && keyIndex < m_key.size() ? m_key.at(keyIndex) : chosen;
    switch (AskYesNoCancel(this, u"変更は登録されていません。登録しますか？"_s)) {
    case QMessageBox::Yes:
        if (keyBox)
            keyBox->SetText(previous);
        try {
            Register();
        } catch (const EKelmoError &e) {
            // Not registered: the record stays on screen as it was.
            ShowErrorMessage(e.Message());
            return false;
        }
        if (keyBox)
            keyBox->SetText(chosen);
        return true;
    case QMessageBox::No:
        m_gridModified = false;
        return true;
    default:
        if (keyBox)
            keyBox->SetText(previous);
        return false;
    }
}

void TfrmEditDekigata::ShowLimitCells()
{
    const TKikakuti4 &k = *m_head->Kikakuti;
    vaSpread2->SetCellText(1, 1, k.KikakutiU1);
    vaSpread2->SetCellText(1, 2, k.KikakutiD1);
    vaSpread2->SetCellText(2, 1, k.KikakutiU2);
    vaSpread2->SetCellText(2, 2, k.KikakutiD2);
    ShowToleranceFigures();
}

void TfrmEditDekigata::ShowKeyLimits(bool recordFound)
{
    const TKikakuti4 &k = *m_head->Kikakuti;
    const bool ownLimits =
        !(k.KikakutiU1.isEmpty() && k.KikakutiD1.isEmpty() && k.KikakutiU2.isEmpty() && k.KikakutiD2.isEmpty());
    // A stored record keeps its limits also where the register has no standard for its key.
    if (recordFound && ownLimits)
        ShowLimitCells();
    else
        ShowLimits();
}

void TfrmEditDekigata::ShowLimits()
{
    TKikakuti4 &k = *m_head->Kikakuti;
    k.Kubun = m_head->Koji->Yoshiki;
    k.Kosyu->LoadByName(ComboBox2->Text());
    k.Koumokumei = ComboBox6->Text();
    k.LoadByKey();
    ShowLimitCells();
}

void TfrmEditDekigata::LoadLinesToGrid()
{
    const QList<TKel4LineRow> lines = m_line->LoadLines(m_head->ID);
    // The record's non-empty texts by cell, a later line over an earlier one of its number.
    std::vector<const QString *> texts(size_t(RowCount) * ColumnCount, nullptr);
    for (const TKel4LineRow &line : lines) {
        if (line.LNO < 1 || line.LNO > RowCount)
            continue;
        for (int c = 1; c <= ColumnCount; ++c) {
            if (!line.Cell(c).isEmpty())
                texts[size_t(line.LNO - 1) * ColumnCount + size_t(c - 1)] = &line.Cell(c);
        }
    }
    m_proposals.clear();
    m_gridModified = false;
    // Every cell in one pass and one change notice: its text, or empty.
    vaSpread1->Model()->FillTexts(vaSpread1->AllCells(), [&](int col, int row) {
        if (col > ColumnCount || row > RowCount)
            return QString();
        const QString *text = texts[size_t(row - 1) * ColumnCount + size_t(col - 1)];
        return text ? *text : QString();
    });
}

void TfrmEditDekigata::SaveLinesFromGrid()
{
    const TSpreadModel *model = vaSpread1->Model();
    QList<TKel4LineRow> rows;
    for (int r = 1; r <= RowCount; ++r) {
        TKel4LineRow row;
        row.LNO = r;
        bool typed = false;
        for (int c = 1; c <= ColumnCount; ++c) {
            row.Cells[size_t(c - 1)] = model->Text(c, r);
            const QString &text = row.Cells[size_t(c - 1)];
            if (!text.isEmpty() && m_proposals.value(CellKey(c, r)) != text)
                typed = true;
        }
        // A row that holds only what the program proposed (the next station past the last
        // line) is not a line.
        if (typed)
            rows.append(std::move(row));
    }
    m_line->ReplaceLines(m_head->ID, rows);
}

void TfrmEditDekigata::Register()
{
    FormToHeader();
    // Header and lines go together, or neither does; so do the counters the header notes.
    TVersionsUntilCommit versions({&m_head->Version, &m_head->Kikakuti->Version});
    TTransaction transaction;
    m_head->Save();
    SaveLinesFromGrid();
    transaction.Commit();
    versions.Committed();
    m_gridModified = false;
    ShowRecordId(m_head->ID);
}

void TfrmEditDekigata::DeleteRecord()
{
    FormToHeader();
    // Only the record the selection names: the header may still hold the ID of a record
    // shown or copied ("一括変更") before.
    if (!m_head->FindByKey())
        return;
    m_head->Delete();
    // The rows stay on screen so that "登録" can store them again; the record is gone.
    ShowRecordId(0);
}

void TfrmEditDekigata::PrintRecord(TRecordForm form)
{
    Register();
    if (const TRecordPrintRoutine &print = RecordPrintRoutine(form))
        print(this, *m_head, CheckBox2->isChecked());
}

// ---- choice handling --------------------------------------------------------------------

bool TfrmEditDekigata::LookUp()
{
    FormToHeader();
    if (!m_head->FindByKey()) {
        ShowRecordId(0);
        return false;
    }
    HeaderToForm();
    LoadLinesToGrid();
    return true;
}

// Without a record the limits shown are the register's for the key on screen (empty when
// it has none), so that "登録" never stores the previous key's limits under this one.
void TfrmEditDekigata::ProjectChosen()
{
    if (!LookUp()) {
        ComboBox2->SetText(QString());
        ComboBox3->SetText(QString());
        ClearGrid();
        ShowLimits();
    }
    ShowGridTotals();
    RememberKey();
}

bool TfrmEditDekigata::KosyuChosen()
{
    const bool found = LookUp();
    if (!found) {
        ComboBox3->SetText(QString());
        ClearGrid();
    }
    ShowGridTotals();
    RememberKey();
    return found;
}

void TfrmEditDekigata::KoukuChosen()
{
    if (!LookUp()) {
        ClearGrid();
        ShowLimits();
    }
    ShowGridTotals();
    RememberKey();
}

bool TfrmEditDekigata::ItemChosen()
{
    const bool found = LookUp();
    if (!found)
        ClearGrid();
    ShowGridTotals();
    RememberKey();
    return found;
}

void TfrmEditDekigata::MeasurerChosen()
{
    m_head->Simei->LoadByName(ComboBox4->Text());
}

void TfrmEditDekigata::Panel1Click()
{
    TfrmListBox picker(this);
    picker.setWindowTitle(u"登録済データの参照"_s);
    QStringList items;
    m_head->ListForProject(items);
    picker.ListBox1->addItems(items);
    if (picker.exec() != QDialog::Accepted)
        return;
    const int id = StrToInt(ItemCode(picker.Result()));
    if (!ConfirmLeavingRecord())
        return;
    ShowRecord(id);
}

void TfrmEditDekigata::ShowRecord(int id)
{
    m_head->LoadByID(id);
    HeaderToForm();
    LoadLinesToGrid();
    ShowGridTotals();
    ShowFirstStartHint();
}

void TfrmEditDekigata::ShowFirstStartHint()
{
    bool none = false;
    try {
        QStringList projects;
        m_head->Koji->GetList(projects);
        none = projects.isEmpty();
    } catch (const EKelmoError &) {
        // A folder that cannot be read is reported by the command that needs it.
    }
    StatusHint->setText(none ? u"工事が未登録です。「データ」→「工事の登録」から始めてください (F1: ヘルプ)"_s : QString());
    StatusHint->setToolTip(none ? u"はじめに「オプション」→「標準値の登録」で標準の単位と会社名を、次に「データ」の各画面で"
                                  "工事・工種・工区・氏名・規格値を登録し、それからメイン画面で測定値を入力して「登録」します。"
                                  "「ヘルプ」→「サンプルデータで試す…」で見本のデータも作れます。"_s
                                : QString());
    StatusHint->setVisible(none);
}

void TfrmEditDekigata::Panel2Click()
{
    TfrmListBox picker(this);
    picker.setWindowTitle(u"登録工種の参照"_s);
    QStringList items;
    m_head->Kikakuti->GetList(items);
    picker.ListBox1->addItems(items);
    if (picker.exec() != QDialog::Accepted || picker.Result().isEmpty())
        return;
    TKikakuti4 &k = *m_head->Kikakuti;
    k.Kosyu->LoadByName(ItemCode(picker.Result()));
    k.Koumokumei = ItemName(picker.Result());
    k.LoadByKey();
    ComboBox2->SetText(k.Kosyu->Kosyumei);
    ComboBox6->SetText(k.Koumokumei);
    ShowLimitCells();
    RememberKey();
    ShowRecordId(0);
}

// ---- form type and activation -----------------------------------------------------------

void TfrmEditDekigata::SetFormType(int type)
{
    {
        const QSignalBlocker blocker(m_formButtons);
        if (QAbstractButton *button = m_formButtons->button(type))
            button->setChecked(true);
    }
    if (type == m_formType)
        return;
    m_formType = type;
    ApplyFormType();
}

void TfrmEditDekigata::ClearGrid()
{
    vaSpread1->ClearAll();
    m_proposals.clear();
    m_gridModified = false;
}

bool TfrmEditDekigata::GridIsEmpty() const
{
    const TSpreadModel *model = vaSpread1->Model();
    for (int r = 1; r <= model->Rows(); ++r)
        for (int c = 1; c <= model->Cols(); ++c)
            if (!model->Text(c, r).isEmpty())
                return false;
    return true;
}

void TfrmEditDekigata::ApplyFormType()
{
    ClearGrid();
    const bool height = m_formType == 0;
    for (int i = 0; i < 3; ++i) {
        const int width = height ? vaSpread1->ColWidth(DesignColumn(1) + i) : 0;
        vaSpread1->SetColWidth(DesignColumn(0) + i, width);
        vaSpread1->SetColWidth(DesignColumn(2) + i, width);
    }
    if (m_formType < 0 || m_formType > 2)
        return;
    ComboBox6->SetText(QString::fromUtf16(kFormTypeNames[m_formType]));
    // The item changed with the form type, so do the limits, and the grid shows no record;
    // a record being shown brings its own afterwards.
    if (UseUnitDefaults) {
        ShowLimits();
        ShowRecordId(0);
        RememberKey();
        ApplyUnitDefaults();
    }
    ApplyDisplayDecimals();
    ShowGridTotals();
}

void TfrmEditDekigata::ApplyUnitDefaults()
{
    if (m_formType < 0 || m_formType > 2)
        return;
    const TDekigataDef &def = DekigataDef();
    const int t = m_formType + 1;
    ComboBox7->SetText(def.Units(1, t));
    ComboBox8->SetText(def.Units(2, t));
    Edit2->setText(def.Units(5, t));
    {
        const QSignalBlocker b3(Edit3), b4(Edit4), b5(Edit5);
        Edit3->setText(def.Units(4, t));
        Edit4->setText(def.Units(3, t));
        Edit5->setText(def.Units(6, t));
    }
    ApplyDisplayDecimals();
}

void TfrmEditDekigata::FormActivate()
{
    if (!isMaximized())
        CenterInWorkArea(this);
    // "高さ" and its defaults at the first showing only: coming back from another window
    // keeps the record being typed.
    if (m_formType < 0)
        SetFormType(0);
    if (frmDataPath)
        frmDataPath->FormActivate();
    const QSignalBlocker blocker(CheckBox3);
    CheckBox3->setChecked(ReadSetting(u"80percent"_s) == u"TRUE"_s);
    ShowFirstStartHint();
}

// ---- grid editing -----------------------------------------------------------------------

TGridUnits TfrmEditDekigata::GridUnits() const
{
    return TGridUnits::From(ComboBox7->Text(), ComboBox8->Text(), Edit2->text(), CheckBox1->isChecked());
}

void TfrmEditDekigata::GridChanged(int col, int row)
{
    m_gridModified = true;
    m_proposals.remove(CellKey(col, row));
    if (GroupOf(col) >= 0)
        vaSpread1->HalfWidthCell(col, row);
    TSpreadCells cells(vaSpread1);
    m_calc.CellChanged(cells, GridUnits(), col, row);
    // The totals follow every edit, also one that leaves a cell empty.
    ShowGridTotals();
}

void TfrmEditDekigata::GridPasted(int col1, int row1, int col2, int row2)
{
    m_gridModified = true;
    for (int r = row1; r <= row2; ++r) {
        for (int c = col1; c <= col2; ++c) {
            m_proposals.remove(CellKey(c, r));
            if (GroupOf(c) >= 0)
                vaSpread1->HalfWidthCell(c, r);
        }
    }
    ShowGridTotals();
}

void TfrmEditDekigata::EnterGridRows(const QList<TGridRowTexts> &rows)
{
    if (rows.isEmpty())
        return;
    m_gridModified = true;
    TSpreadCells cells(vaSpread1);
    vaSpread1->Model()->BeginUpdate();
    GridCalc::EnterRows(cells, GridUnits(), rows);
    for (const TGridRowTexts &row : rows) {
        for (const auto &cell : row.Cells)
            m_proposals.remove(CellKey(cell.first, row.Row));
    }
    m_calc.Reformat(cells, GridUnits());
    vaSpread1->Model()->EndUpdate();
    ShowGridTotals();
}

void TfrmEditDekigata::InsertGridRow()
{
    const int at = vaSpread1->ActiveRow();
    if (at < 1)
        return;
    vaSpread1->InsertRow();
    QHash<qint64, QString> moved;
    for (auto it = m_proposals.cbegin(); it != m_proposals.cend(); ++it) {
        const int row = int(it.key() / 100);
        if (row < at)
            moved.insert(it.key(), it.value());
        else if (row < RowCount)
            moved.insert(it.key() + 100, it.value());
    }
    m_proposals = moved;
    m_gridModified = true;
}

void TfrmEditDekigata::DeleteGridRow()
{
    const int at = vaSpread1->ActiveRow();
    if (at < 1)
        return;
    vaSpread1->DeleteRow();
    QHash<qint64, QString> moved;
    for (auto it = m_proposals.cbegin(); it != m_proposals.cend(); ++it) {
        const int row = int(it.key() / 100);
        if (row < at)
            moved.insert(it.key(), it.value());
        else if (row > at)
            moved.insert(it.key() - 100, it.value());
    }
    m_proposals = moved;
    m_gridModified = true;
}

void TfrmEditDekigata::GridLeaveCell(int, int, int newCol, int newRow)
{
    TSpreadCells cells(vaSpread1);
    const QString proposal = GridCalc::Proposal(cells, newCol, newRow, Edit5->text(), m_formType);
    if (proposal.isEmpty())
        return;
    // A proposal alone is no edit: it neither asks to be registered nor makes a line.
    cells.SetCell(newCol, newRow, proposal);
    m_proposals.insert(CellKey(newCol, newRow), proposal);
}

void TfrmEditDekigata::GridRightClick(int col, int row)
{
    if (col != PositionColumn)
        return;
    TfrmSmallListBox picker(this);
    QStringList positions;
    m_line->ListPositions(positions);
    picker.ListBox1->addItems(positions);
    // The window's corner plus the click within the grid, one picker height lower, so the
    // picker opens below the clicked cell; kept on the screen.
    const QPoint click = vaSpread1->mapFromGlobal(QCursor::pos());
    QPoint at = frameGeometry().topLeft() + click + QPoint(0, picker.height());
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(qBound(area.left(), at.x(), area.right() + 1 - picker.width()));
        at.setY(qBound(area.top(), at.y(), area.bottom() + 1 - picker.height()));
    }
    picker.move(at);
    if (picker.exec() == QDialog::Accepted)
        vaSpread1->SetCellText(col, row, picker.Result());
}

void TfrmEditDekigata::ShowGridTotals()
{
    TSpreadCells cells(vaSpread1);
    const TGridTotals t = m_calc.Totals(cells, ComboBox8->Text(), Edit2->text(), Edit4->text());
    vaSpread3->SetCellText(1, 1, t.Sum);
    vaSpread3->SetCellText(1, 2, t.Count);
    vaSpread3->SetCellText(1, 3, t.Average);
    ShowToleranceFigures();
}

void TfrmEditDekigata::ShowToleranceFigures()
{
    TToleranceShares shares(ComboBox8->Text(), vaSpread2->CellText(1, 1), vaSpread2->CellText(1, 2),
                            vaSpread2->CellText(2, 1), vaSpread2->CellText(2, 2));
    // Every difference the stored record would hold, as the printed forms count them.
    const TSpreadModel *model = vaSpread1->Model();
    for (int r = 1; r <= model->Rows(); ++r) {
        for (int g = 0; g < 3; ++g) {
            const int c = DiffColumn(g);
            const QString &text = model->Text(c, r);
            quint32 color = kPlainColor;
            if (!text.isEmpty()) {
                const TToleranceMark mark = shares.Add(text);
                if (mark.Band == TToleranceBand::Outside)
                    color = kOutsideColor;
                else if (mark.Band == TToleranceBand::Within100 || mark.OutsideOwn)
                    color = kNearLimitColor;
            }
            if (model->BackColor(c, r) != color)
                vaSpread1->SetCellBackColor(c, r, color);
        }
    }
    const int n = shares.Count();
    const bool bands = shares.HasStandard();
    const int counts[] = {shares.Within50(), shares.Within80(), shares.WithinStandard(), shares.Outside(),
                          shares.OutsideOwn()};
    for (int r = 1; r <= 5; ++r) {
        const bool shown = r == 5 ? shares.HasOwnStandard() : bands;
        vaSpread4->SetCellText(1, r, shown ? QString::number(counts[r - 1]) : QString());
        vaSpread4->SetCellText(2, r, shown ? TToleranceShares::ShareText(counts[r - 1], n) : QString());
    }
    ToleranceLabel->setText(bands ? u"測定数 %1"_s.arg(n) : u"規格値なし"_s);
}

void TfrmEditDekigata::ShowGridModes()
{
    StatusPanels[1]->setText(vaSpread1->EditMode() == TSpreadEditMode::Replace ? u"上書"_s : u"挿入"_s);
    StatusPanels[2]->setText(ArrowOf(vaSpread1->EnterDirection()));
}

void TfrmEditDekigata::ToggleEditMode()
{
    vaSpread1->SetEditMode(vaSpread1->EditMode() == TSpreadEditMode::Replace ? TSpreadEditMode::Insert
                                                                             : TSpreadEditMode::Replace);
    ShowGridModes();
}

void TfrmEditDekigata::NextEnterDirection()
{
    TSpreadEnterDirection next = TSpreadEnterDirection::Up;
    switch (vaSpread1->EnterDirection()) {
    case TSpreadEnterDirection::Up: next = TSpreadEnterDirection::Next; break;
    case TSpreadEnterDirection::Next: next = TSpreadEnterDirection::Down; break;
    case TSpreadEnterDirection::Down: next = TSpreadEnterDirection::Previous; break;
    case TSpreadEnterDirection::Previous: next = TSpreadEnterDirection::None; break;
    case TSpreadEnterDirection::None: next = TSpreadEnterDirection::Up; break;
    }
    vaSpread1->SetEnterDirection(next);
    ShowGridModes();
}

void TfrmEditDekigata::ApplyDisplayDecimals()
{
    const QString yukou = Edit2->text();
    for (int g = 0; g < 3; ++g) {
        const TSpreadBlock block{DesignColumn(g), 1, MeasuredColumn(g), RowCount};
        vaSpread1->SetBlockDecimals(block, GridCalc::DisplayDecimals(ComboBox7->Text(), yukou));
    }
}

void TfrmEditDekigata::LimitYukou()
{
    const QString limited = GridCalc::LimitYukou(Edit2->text(), ComboBox8->Text());
    if (limited != Edit2->text())
        Edit2->setText(limited);
}
