#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;

// "環境設定": the data folder and five switches and colours of the settings store.
class TfrmSetDataPath final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSetDataPath)

public:
    explicit TfrmSetDataPath(QWidget *parent = nullptr);

    void FormActivate();
    void Button2Click();
    void BitBtn1Click();

    // Colours of the two swatches, 0x00BBGGRR as stored.
    int NeriColor() const { return m_neriColor; }
    int SikiColor() const { return m_sikiColor; }

    QLineEdit *Edit1;
    QPushButton *Button2;
    QCheckBox *CheckBox1;
    QGroupBox *GroupBox1;
    QLineEdit *Edit2;
    QLineEdit *Edit3;
    QWidget *Panel1;
    QCheckBox *CheckBox2;
    QCheckBox *CheckBox3;
    QPushButton *BitBtn1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowSwatch(QLineEdit *swatch, int color);

    int m_neriColor = 0;
    int m_sikiColor = 0;
};

extern TfrmSetDataPath *frmSetDataPath;
