#include "charts/fSetHistgram.h"

#include "app/uHelp.h"
#include "app/uCommon.h"
#include "printing/UpDown.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

TfrmSethistgram *frmSethistgram = nullptr;

namespace {
constexpr int kInitialHeights[TfrmSethistgram::BarCount] = {10, 20, 30, 50, 100, 200, 100, 50, 30, 20, 10};
constexpr int kBaseLine = 218;
constexpr int kMiddle = 5;

QString BarStyle(const QColor &fill)
{
    return u"QFrame { background-color: %1; border: 1px solid black; }"_s.arg(fill.name());
}
} // namespace

TfrmSethistgram::TfrmSethistgram(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , Button1(new QPushButton(u"OK"_s, this))
    , Button2(new QPushButton(u"キャンセル"_s, this))
{
    setWindowTitle(u"ヒストグラムの設定"_s);
    SetHelpTopic(this, u"sethistgram"_s);
    QFont font(u"ＭＳ Ｐゴシック"_s);
    font.setPixelSize(12);
    setFont(font);
    setFixedSize(384, 307);

    const QColor tooltip = QPalette().color(QPalette::ToolTipBase);
    for (int i = 0; i < BarCount; ++i) {
        const int height = kInitialHeights[i];
        Shape[i] = new QFrame(this);
        Shape[i]->setStyleSheet(BarStyle(i == kMiddle ? tooltip : QColor(Qt::white)));
        Shape[i]->setGeometry(16 + 32 * i, kBaseLine - height, 33, height);

        UpDown[i] = new TUpDown(this);
        UpDown[i]->setGeometry(24 + 32 * i, 224, 17, 25);
        UpDown[i]->SetRange(0, 200);
        UpDown[i]->SetIncrement(10);
        connect(UpDown[i], &TUpDown::Changed, this, [this, i](int position) { UpDownClick(i, position); });

        Label[i] = new QLabel(this);
        Label[i]->setGeometry(24 + 32 * i, 256, 30, 16);
    }
    Button1->setGeometry(304, 280, 75, 25);
    Button2->setGeometry(224, 280, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    // The bars stand on the bottom of the first one; the spinners start at their heights.
    m_baseLine = Shape[0]->y() + Shape[0]->height();
    for (int i = 0; i < BarCount; ++i)
        UpDown[i]->SetPosition(Shape[i]->height());
    RefreshLabels();
}

float TfrmSethistgram::BarPercent(int i) const
{
    int total = 0;
    for (const TUpDown *spinner : UpDown)
        total += spinner->Position();
    if (total == 0 || i < 0 || i >= BarCount)
        return 0;
    return float(RoundTo(0, double(UpDown[i]->Position()) / total * 100));
}

QList<int> TfrmSethistgram::LabelPercents() const
{
    QList<int> percents;
    for (const QLabel *label : Label)
        percents << int(std::trunc(TextToFloat(label->text())));
    return percents;
}

void TfrmSethistgram::UpDownClick(int tag, int position)
{
    if (tag < 0 || tag >= BarCount)
        return;
    Shape[tag]->setGeometry(Shape[tag]->x(), m_baseLine - position, Shape[tag]->width(), position);
    Shape[tag]->setVisible(position > 0);
    RefreshLabels();
}

void TfrmSethistgram::RefreshLabels()
{
    for (int i = 0; i < BarCount; ++i)
        Label[i]->setText(FormatGeneral(double(BarPercent(i))));
}

bool TfrmSethistgram::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        RefreshLabels();
    return QDialog::event(event);
}
