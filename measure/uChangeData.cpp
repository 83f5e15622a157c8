#include "measure/uChangeData.h"

#include "app/Errors.h"
#include "app/fListBox.h"
#include "app/uCommon.h"
#include "app/uHelp.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "measure/uGridCalc.h"
#include "measure/uKelmo4Head.h"
#include "measure/uUnits.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

TfrmChangeData *frmChangeData = nullptr;

TfrmChangeData::TfrmChangeData(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , Button1(new QPushButton(u"工種参照"_s, this))
    , Edit1(new QLineEdit(this))
    , Label1(new QLabel(u"変化量(mm)"_s, this))
    , Edit2(new QLineEdit(this))
    , Button2(new QPushButton(u"Ok"_s, this))
{
    setWindowTitle(u"一括変更"_s);
    setFixedSize(366, 83);
    SetHelpContext(this, 19);
    Button1->setGeometry(8, 8, 81, 25);
    Edit1->setGeometry(96, 10, 262, 21);
    Label1->setGeometry(8, 48, 81, 21);
    Label1->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
    Edit2->setGeometry(96, 48, 89, 21);
    Button2->setGeometry(283, 46, 75, 25);
    Button2->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfrmChangeData::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmChangeData::Button1Click()
{
    TfrmListBox picker(this);
    if (m_head) {
        QStringList items;
        m_head->ListForProject(items);
        picker.ListBox1->addItems(items);
    }
    if (picker.exec() == QDialog::Accepted)
        Edit1->setText(picker.Result());
}

namespace ChangeData {

namespace {

class TSpreadCells final : public TGridCells
{
public:
    explicit TSpreadCells(TSpread *spread)
        : m_spread(spread)
    {
    }
    int Rows() const override { return m_spread->MaxRows(); }
    QString Cell(int column, int row) const override { return m_spread->CellText(column, row); }
    void SetCell(int column, int row, const QString &text) override
    {
        if (column >= 1 && row >= 1)
            m_spread->SetCellText(column, row, text);
    }

private:
    TSpread *m_spread;
};

bool IsValueColumn(int column)
{
    const int g = GroupOf(column);
    return g >= 0 && column != DiffColumn(g);
}

} // namespace

void CopyShiftedLines(const QList<TKel4LineRow> &lines, const QString &sekkeiTanni, const QString &yukou,
                      double delta, TGridCells &grid)
{
    const double factor = UnitFactor(sekkeiTanni);
    const int decimals = Dec(sekkeiTanni, yukou);
    for (const TKel4LineRow &line : lines) {
        if (line.LNO < 1 || line.LNO > grid.Rows())
            continue;
        for (int c = StationColumn; c < RemarksColumn; ++c) {
            QString text = line.Cell(c);
            if (IsValueColumn(c) && IsFloatText(text))
                text = FormatFixed((TextToFloat(text) * factor + delta) / factor, decimals);
            grid.SetCell(c, line.LNO, text);
        }
    }
}

void BulkChange(TfrmEditDekigata &window, TfrmChangeData &dialog)
{
    if (window.ComboBox1->Text().isEmpty()) {
        QMessageBox::information(&window, u"ケルモ"_s, u"工事が選択されていません"_s);
        return;
    }
    TKelmo4Head &head = *window.Head();
    dialog.SetHeader(&head);
    if (dialog.exec() != QDialog::Accepted)
        return;

    // The rows on screen are given up only for a record that exists.
    const int id = StrToInt(ItemCode(dialog.Edit1->text()));
    head.LoadByID(id);
    if (head.ID != id)
        throw EKelmoError(u"一括変更の元になる記録（ID %1）がありません。"_s.arg(id));
    const double delta = TextToFloat(dialog.Edit2->text());
    const QList<TKel4LineRow> lines = head.Lines();

    window.vaSpread1->ClearAll();
    window.SetFormType(head.Yosiki);
    TSpreadCells cells(window.vaSpread1);
    CopyShiftedLines(lines, head.SekkeiTanni, head.Yukou, delta, cells);
    window.SetGridModified(true);
    window.ShowGridTotals();
}

void InstallCommands(TfrmEditDekigata &window, TfrmChangeData &dialog)
{
    QObject::connect(window.actBulkChange, &QAction::triggered, &dialog,
                     [&window, &dialog] { BulkChange(window, dialog); });
    window.actBulkChange->setEnabled(true);
}

} // namespace ChangeData
