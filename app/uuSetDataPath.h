#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
struct TDataSource;

// "環境設定": where the data lives (a folder, or an office's PostgreSQL server) and five
// switches and colours of the settings store.
class TfrmSetDataPath final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSetDataPath)

public:
    explicit TfrmSetDataPath(QWidget *parent = nullptr);

    void FormActivate();
    void Button2Click();
    // "接続テスト": tries what is typed, folder or server, and tells the result.
    void Button3Click();
    void BitBtn1Click();

    // The data source as typed (the fields of the chosen kind).
    TDataSource TypedSource() const;

    // Colours of the two swatches, 0x00BBGGRR as stored.
    int NeriColor() const { return m_neriColor; }
    int SikiColor() const { return m_sikiColor; }

    QGroupBox *GroupBox2;
    QRadioButton *RadioButton1; // フォルダ
    QLineEdit *Edit1;
    QPushButton *Button2;
    QRadioButton *RadioButton2; // サーバー (PostgreSQL)
    QLineEdit *Edit4;           // サーバー名
    QLineEdit *Edit5;           // ポート
    QLineEdit *Edit6;           // データベース
    QLineEdit *Edit7;           // ユーザー
    QLabel *Label1;             // where the password comes from
    QPushButton *Button3;       // 接続テスト
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
    void ShowKind();
    // Runs the connection test under a wait cursor; the empty text when it works.
    QString TrySource(const TDataSource &source);
    void ShowSwatch(QLineEdit *swatch, int color);

    int m_neriColor = 0;
    int m_sikiColor = 0;
    QList<QWidget *> m_serverFields;
};

extern TfrmSetDataPath *frmSetDataPath;
