#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class TPrevX;
class TUpDown;

// The print preview "印刷プレビュー": one page canvas control in a scrolling area, page
// buttons, zoom spinner, printing of the whole range or the page shown, and saving as PDF.
// A report creates it, draws into PrevX1 between BeginDoc and EndDoc, and shows it modally.
class TfrmPreView final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmPreView)

public:
    explicit TfrmPreView(QWidget *parent = nullptr);
    ~TfrmPreView() override;

    // Covers the given work area of the desktop (creation uses the screen's).
    void PlaceInWorkArea(const QRect &area);

    // Writes the whole document as one PDF.
    void SavePdf(const QString &fileName);

    TPrevX *PrevX1;
    QLabel *Label1;
    QLineEdit *MaskEdit1;
    TUpDown *UpDown1;
    QPushButton *Button3; // 前ページ
    QPushButton *Button4; // 次ページ
    QScrollArea *ScrollBox1;
    QPushButton *Button5; // このページを印刷
    QPushButton *Button1; // 印刷
    QPushButton *Button2; // 閉じる
    QPushButton *ButtonPdf; // PDF保存
    QLabel *LabelSaved; // where the last PDF went

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Activate(bool windowActivated);
    void PreviousPage();
    void NextPage();
    void ZoomChanged(int value);
    void PrintThisPage();
    void PrintRange();
    void AskAndSavePdf();
    void ShowSaved(const QString &fileName);
    void ScrollByWheel(QWheelEvent *event);
    QSize OuterSize() const;

    QRect m_workArea;
};
