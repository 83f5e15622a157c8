#include "app/uDataPath.h"

#include "app/RegistryUtility.h"
#include "app/SjisText.h"
#include "app/uActivation.h"
#include "app/uApplication.h"
#include "app/uCommon.h"
#include "app/uDataSource.h"
#include "app/uDatabase.h"
#include "app/uDekigataDef.h"
#include "app/uFolderControls.h"
#include "app/uHelp.h"
#include "app/uSpread.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

TfrmDataPath *frmDataPath = nullptr;

namespace {
const QStringList kUnitKinds{u"設計単位"_s, u"差の単位"_s, u"平均単位"_s,
                             u"分布単位"_s, u"有効単位"_s, u"測点距離"_s};
const QStringList kFormTypes{u"高さ"_s, u"厚さ"_s, u"幅"_s};
const QStringList kLineColors{u"Ｌ線"_s, u"Ｃ線"_s, u"Ｒ線"_s, u"規１"_s, u"規２"_s,
                              u"平均値"_s, u"方眼"_s, u"50%"_s, u"80%"_s};
const QStringList kRounding{u"丸めない"_s, u"切上"_s, u"切下"_s, u"四捨五入"_s};
constexpr int kHistogramClasses = 41;
constexpr int kLineColorCount = 9;

QLabel *Caption(const QString &text, QWidget *parent, int x, int y, int w = 180)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 16);
    return label;
}
} // namespace

TfrmDataPath::TfrmDataPath(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , DriveComboBox1(new TDriveComboBox(this))
    , DirectoryListBox1(new TDirectoryListBox(this))
    , DriveComboBox2(new TDriveComboBox(this))
    , DirectoryListBox2(new TDirectoryListBox(this))
    , FileListBox1(new TFileListBox(this))
    , vaSpread1(new TSpread(this))
    , vaSpread2(new TSpread(this))
    , vaSpread3(new TSpread(this))
    , CheckBox1(new QCheckBox(u"印刷時に注意書きを印刷しない"_s, this))
    , CheckBox2(new QCheckBox(u"仮想管理線"_s, this))
    , CheckBox3(new QCheckBox(u"80%"_s, this))
    , Edit1(new QLineEdit(this))
    , RadioGroup1(new QGroupBox(u"80%まるめ処理"_s, this))
    , Button1(new QPushButton(u"&OK"_s, this))
    , FolderLabel(new QLabel(this))
    , ServerLabel(new QLabel(this))
    , CheckBox4(new QCheckBox(u"フォルダに切り替える"_s, this))
    , m_roundButtons(new QButtonGroup(this))
{
    setWindowTitle(u"標準値の登録"_s);
    setFont(QFont(u"ＭＳ Ｐゴシック"_s, 9));
    setFixedSize(384, 429);
    SetHelpContext(this, 8);

    Caption(u"データを格納するフォルダ"_s, this, 8, 4);
    DriveComboBox1->setGeometry(8, 20, 180, 20);
    DirectoryListBox1->setGeometry(8, 42, 180, 58);
    FolderLabel->setGeometry(8, 101, 180, 14);
    FolderLabel->setTextFormat(Qt::PlainText);
    ServerLabel->setGeometry(8, 20, 180, 80);
    ServerLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ServerLabel->setTextFormat(Qt::PlainText);
    ServerLabel->setWordWrap(true);
    ServerLabel->setFrameShape(QFrame::StyledPanel);
    ServerLabel->setMargin(2);
    CheckBox4->setGeometry(8, 100, 180, 16);
    CheckBox4->setToolTip(u"チェックすると、選んだフォルダのデータを使うように切り替えます（サーバーのデータはそのまま残ります）"_s);
    ShowAliasKind(false);

    Caption(u"オープニングロゴの指定"_s, this, 196, 4);
    DriveComboBox2->setGeometry(196, 20, 180, 20);
    DirectoryListBox2->setGeometry(196, 42, 88, 72);
    FileListBox1->setGeometry(288, 42, 88, 72);
    FileListBox1->SetMask(u"*.bmp"_s);
    DriveComboBox2->setEnabled(false);
    DirectoryListBox2->setEnabled(false);
    FileListBox1->setEnabled(false);

    Caption(u"標準単位の設定"_s, this, 8, 118);
    vaSpread1->setGeometry(8, 134, 368, 78);
    Caption(u"ヒストグラムの色の設定"_s, this, 8, 214);
    vaSpread2->setGeometry(8, 230, 368, 58);
    Caption(u"線色の設定"_s, this, 8, 290);
    vaSpread3->setGeometry(8, 306, 368, 42);
    BuildGrids();

    CheckBox1->setGeometry(8, 350, 190, 18);
    CheckBox2->setGeometry(204, 350, 90, 18);
    CheckBox3->setGeometry(300, 350, 76, 18);

    Caption(u"会社名"_s, this, 8, 373, 40);
    Edit1->setGeometry(52, 370, 324, 21);

    RadioGroup1->setGeometry(8, 393, 290, 34);
    for (int i = 0; i < kRounding.size(); ++i) {
        auto *button = new QRadioButton(kRounding.at(i), RadioGroup1);
        button->setGeometry(8 + i * 70, 14, 68, 18);
        m_roundButtons->addButton(button, i);
    }
    Button1->setGeometry(304, 398, 72, 26);
    Button1->setDefault(true);

    connect(DriveComboBox1, &TDriveComboBox::DriveChanged, DirectoryListBox1,
            &TDirectoryListBox::SetDrive);
    connect(DriveComboBox2, &TDriveComboBox::DriveChanged, DirectoryListBox2,
            &TDirectoryListBox::SetDrive);
    connect(DirectoryListBox1, &TDirectoryListBox::DirectoryChanged, FolderLabel,
            &QLabel::setText);
    connect(DirectoryListBox2, &TDirectoryListBox::DirectoryChanged, FileListBox1,
            &TFileListBox::SetDirectory);
    connect(m_roundButtons, &QButtonGroup::idClicked, this,
            [](int index) { WriteSetting(u"K4_80%_ROUND"_s, QString::number(index)); });
    connect(Button1, &QPushButton::clicked, this, &TfrmDataPath::Button1Click);
    connect(CheckBox4, &QCheckBox::toggled, this, [this](bool toFolder) {
        DriveComboBox1->setEnabled(toFolder);
        DriveComboBox1->setVisible(toFolder);
        DirectoryListBox1->setEnabled(toFolder);
        DirectoryListBox1->setVisible(toFolder);
        ServerLabel->setVisible(!toFolder);
    });

    new TActivationWatch(this, [this] { FormActivate(); });
}

void TfrmDataPath::BuildGrids()
{
    vaSpread1->SetMaxCols(kUnitKinds.size());
    vaSpread1->SetMaxRows(kFormTypes.size());
    vaSpread1->SetColWidth(0, 38);
    for (int k = 1; k <= kUnitKinds.size(); ++k) {
        vaSpread1->SetCellText(k, 0, kUnitKinds.at(k - 1));
        vaSpread1->SetColWidth(k, 54);
    }
    for (int t = 1; t <= kFormTypes.size(); ++t)
        vaSpread1->SetCellText(0, t, kFormTypes.at(t - 1));
    vaSpread1->SetRowHeight(18);
    vaSpread1->SetHeadingHeight(18);

    vaSpread2->SetMaxCols(kHistogramClasses);
    vaSpread2->SetMaxRows(1);
    vaSpread2->SetRowHeight(18);
    vaSpread2->SetHeadingHeight(18);
    for (int c = 1; c <= kHistogramClasses; ++c)
        vaSpread2->SetColWidth(c, 30);

    vaSpread3->SetMaxCols(kLineColorCount);
    vaSpread3->SetMaxRows(1);
    vaSpread3->SetRowHeight(18);
    vaSpread3->SetHeadingHeight(18);
    vaSpread3->SetColWidth(0, 16);
    for (int c = 1; c <= kLineColorCount; ++c) {
        vaSpread3->SetCellText(c, 0, kLineColors.at(c - 1));
        vaSpread3->SetColWidth(c, 38);
    }
    vaSpread3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vaSpread3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    for (TSpread *grid : {vaSpread2, vaSpread3}) {
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->SetBlockLocked(grid->AllCells(), true);
        grid->SetBlockBackColor(grid->AllCells(), 0);
        // The colour is the content: a selection must not paint over it. (A palette, not a
        // style sheet: a style sheet gives the grid a style object of its own.)
        QPalette palette = grid->palette();
        palette.setColor(QPalette::Highlight, Qt::transparent);
        grid->setPalette(palette);
        connect(grid, &TSpread::DblClick, this,
                [this, grid](int col, int row) { PickColor(grid, col, row, col, row); });
        connect(grid, &TSpread::BlockSelected, this,
                [this, grid](int c1, int r1, int c2, int r2) { PickColor(grid, c1, r1, c2, r2); });
    }
}

void TfrmDataPath::PickColor(TSpread *grid, int col1, int row1, int col2, int row2)
{
    QColorDialog dialog(ColorFromBgr(grid->CellBackColor(col1, row1)), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    if (chosen)
        grid->SetBlockBackColor({col1, row1, col2, row2}, BgrFromColor(dialog.selectedColor()));
    // The selection only named the cells; left in place it would hide their new colour.
    grid->clearSelection();
}

int TfrmDataPath::RadioGroupIndex() const
{
    return m_roundButtons->checkedId();
}

void TfrmDataPath::SetRadioGroupIndex(int index)
{
    index = qBound(0, index, int(kRounding.size()) - 1);
    if (index == RadioGroupIndex())
        return;
    m_roundButtons->button(index)->setChecked(true);
    // As a click would, a change by the program stores the choice too.
    WriteSetting(u"K4_80%_ROUND"_s, QString::number(index));
}

void TfrmDataPath::ShowDefaults()
{
    const TDekigataDef &def = DekigataDef();
    const QString logo = def.LogoFile();
    const QString logoFolder = logo.isEmpty() ? QDir::currentPath() : QFileInfo(logo).absolutePath();
    DriveComboBox2->SetDrive(TDriveComboBox::DriveOf(logoFolder));
    DirectoryListBox2->SetDirectory(logoFolder);
    FileListBox1->SetFileName(logo);
    Edit1->setText(def.CompanyName());
    for (int k = 1; k <= kUnitKinds.size(); ++k)
        for (int t = 1; t <= kFormTypes.size(); ++t)
            vaSpread1->SetCellText(k, t, def.Units(k, t));
    for (int c = 1; c <= kHistogramClasses; ++c)
        vaSpread2->SetCellBackColor(c, 1, def.Colors(c));
    for (int c = 1; c <= kLineColorCount; ++c)
        vaSpread3->SetCellBackColor(c, 1, def.Colors(kHistogramClasses + c));
    CheckBox1->setChecked(def.NoNotes());
}

void TfrmDataPath::ShowAliasKind(bool server)
{
    // OK writes the chosen folder into the alias: with a server alias that would quietly
    // move the office's work to this computer, so the list is only offered on request.
    CheckBox4->setChecked(false);
    CheckBox4->setVisible(server);
    ServerLabel->setVisible(server);
    FolderLabel->setVisible(!server);
    DirectoryListBox1->setVisible(!server);
    DriveComboBox1->setVisible(!server);
    DriveComboBox1->setEnabled(!server);
    DirectoryListBox1->setEnabled(!server);
}

void TfrmDataPath::FormActivate()
{
    const TDataSource source = GetAliasSource(u"tomaruk"_s);
    const QString folder = source.Folder;
    DriveComboBox1->SetDrive(TDriveComboBox::DriveOf(folder));
    DirectoryListBox1->SetDirectory(folder);
    ServerLabel->setText(source.IsServer()
                             ? u"データは%1にあります。変更は「環境設定」で行います。"_s.arg(source.Describe())
                             : QString());
    ShowAliasKind(source.IsServer());

    for (int c = 1; c <= kHistogramClasses; ++c)
        vaSpread2->SetCellText(c, 0, QString::number(c - 21));
    vaSpread2->SetColWidth(0, 0);

    // A missing file is created here, with the standard palette at the first run.
    if (LoadDefaults() == TDekigataDef::LoadResult::ShortFileRewritten) {
        QMessageBox::information(isVisible() ? this : nullptr, u"ケルモ４"_s,
                                 ShortDefaultsMessage(), QMessageBox::Ok);
    }
    ShowDefaults();

    vaSpread2->SetFirstVisibleCol(15);

    CheckBox2->setChecked(ReadSetting(u"ShichoKasouLine"_s) == u"TRUE"_s);
    CheckBox3->setChecked(ReadSetting(u"80percent"_s) == u"TRUE"_s);
    SetRadioGroupIndex(TruncToInt(TextToFloat(ReadSetting(u"K4_80%_ROUND"_s))));
}

void TfrmDataPath::Button1Click()
{
    // A server alias stays unless the user asked for the folder.
    if ((!GetAliasSource(u"tomaruk"_s).IsServer() || CheckBox4->isChecked())
        && !SetAliasPath(u"tomaruk"_s, DirectoryListBox1->Directory()))
        ShowSetAliasFailed(this, DirectoryListBox1->Directory());

    TDekigataDef &def = DekigataDef();
    const QString logo = FileListBox1->FileName();
    if (!logo.isEmpty())
        def.SetLogoFile(SjisText::CutToBytes(logo, TDekigataDef::LogoFileMax));
    for (int k = 1; k <= kUnitKinds.size(); ++k)
        for (int t = 1; t <= kFormTypes.size(); ++t)
            def.SetUnits(k, t, SjisText::CutToBytes(vaSpread1->CellText(k, t), TDekigataDef::UnitMax));
    for (int c = 1; c <= kHistogramClasses; ++c)
        def.SetColors(c, vaSpread2->CellBackColor(c, 1));
    for (int c = 1; c <= kLineColorCount; ++c)
        def.SetColors(kHistogramClasses + c, vaSpread3->CellBackColor(c, 1));
    def.SetNoNotes(CheckBox1->isChecked());
    def.SetCompanyName(SjisText::CutToBytes(Edit1->text(), TDekigataDef::CompanyNameMax));
    SaveDefaults();
    WriteSetting(u"ShichoKasouLine"_s, CheckBox2->isChecked() ? u"TRUE"_s : u"FALSE"_s);
    WriteSetting(u"80percent"_s, CheckBox3->isChecked() ? u"TRUE"_s : u"FALSE"_s);
    accept();
}
