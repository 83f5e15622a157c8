#pragma once

#include <QDialog>

class QComboBox;
class QRadioButton;

// "プリンタの設定": printer, paper and orientation of the current printer.
class TfrmPrinterSetup final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmPrinterSetup)

public:
    explicit TfrmPrinterSetup(QWidget *parent = nullptr);

    // Makes the choices those of the current printer.
    void ApplyChoices();

    QComboBox *PrinterBox;
    QComboBox *PaperBox;
    QRadioButton *PortraitButton;
    QRadioButton *LandscapeButton;
};

// Shows the printer set-up dialog; on OK the choices become the current printer's
// settings (ApplySettings), so documents begun afterwards take them. Raises EPrevError
// when the system has no printer. True when confirmed.
bool ShowPrinterSetupDialog(QWidget *parent);
