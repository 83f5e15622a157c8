#pragma once

#include <QDialog>
#include <QList>

class QFrame;
class QLabel;
class QPushButton;
class TUpDown;

// "ヒストグラムの設定": eleven bars, one spinner each, and under every bar its share of the
// total in percent. Created once, so the bars keep their heights for the run.
class TfrmSethistgram final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSethistgram)

public:
    static constexpr int BarCount = 11;

    explicit TfrmSethistgram(QWidget *parent = nullptr);

    // Share of bar I (0 … 10) in percent, rounded to a whole number; 0 for every bar when
    // all of them stand at 0.
    float BarPercent(int i) const;
    // The eleven labels as the simulation reads them: each text as a number, truncated.
    QList<int> LabelPercents() const;
    // Spinner Tag moved to Position: its bar grows upward from the base line.
    void UpDownClick(int tag, int position);
    void RefreshLabels();

    QFrame *Shape[BarCount];
    TUpDown *UpDown[BarCount];
    QLabel *Label[BarCount];
    QPushButton *Button1; // "OK"
    QPushButton *Button2; // "キャンセル"

protected:
    bool event(QEvent *event) override;

private:
    int m_baseLine = 0;
};

extern TfrmSethistgram *frmSethistgram;
