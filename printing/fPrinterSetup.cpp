#include "printing/fPrinterSetup.h"

#include "printing/NkPrinter.h"
#include "printing/PrevX.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

struct TPaperChoice
{
    int Number;
    const char16_t *Caption;
};

constexpr TPaperChoice kPapers[] = {
    {9, u"A4"}, {8, u"A3"}, {12, u"B4"}, {13, u"B5"}, {11, u"A5"}, {1, u"レター"}, {5, u"リーガル"},
};

} // namespace

TfrmPrinterSetup::TfrmPrinterSetup(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(u"プリンタの設定"_s);
    TNkPrinter &printer = NkPrinter();

    PrinterBox = new QComboBox(this);
    PrinterBox->setObjectName(u"PrinterBox"_s);
    PrinterBox->addItems(printer.PrinterNames());
    PrinterBox->setCurrentText(printer.CurrentName());

    PaperBox = new QComboBox(this);
    PaperBox->setObjectName(u"PaperBox"_s);
    for (const TPaperChoice &paper : kPapers)
        PaperBox->addItem(QString::fromUtf16(paper.Caption), paper.Number);
    const int current = PaperBox->findData(printer.PaperSizeNumber());
    PaperBox->setCurrentIndex(current >= 0 ? current : 0);

    PortraitButton = new QRadioButton(u"縦"_s, this);
    PortraitButton->setObjectName(u"PortraitButton"_s);
    LandscapeButton = new QRadioButton(u"横"_s, this);
    LandscapeButton->setObjectName(u"LandscapeButton"_s);
    if (printer.Orientation() == QPageLayout::Landscape)
        LandscapeButton->setChecked(true);
    else
        PortraitButton->setChecked(true);

    auto *orientation = new QHBoxLayout;
    orientation->addWidget(PortraitButton);
    orientation->addWidget(LandscapeButton);
    orientation->addStretch();

    auto *form = new QFormLayout;
    form->addRow(u"プリンタ名"_s, PrinterBox);
    form->addRow(u"用紙サイズ"_s, PaperBox);
    form->addRow(u"印刷の向き"_s, orientation);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void TfrmPrinterSetup::ApplyChoices()
{
    TNkPrinter &printer = NkPrinter();
    if (PrinterBox->currentText() != printer.CurrentName())
        printer.SelectPrinter(PrinterBox->currentText());
    printer.SetPaperSizeNumber(PaperBox->currentData().toInt());
    printer.SetOrientation(LandscapeButton->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.ApplySettings();
}

bool ShowPrinterSetupDialog(QWidget *parent)
{
    TPrevX::CheckPrinter();
    TfrmPrinterSetup dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.ApplyChoices();
    return true;
}
