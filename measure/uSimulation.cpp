#include "measure/uSimulation.h"

#include "app/Errors.h"
#include "app/uCommon.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "measure/uGridCalc.h"
#include "measure/uUnits.h"

#include <QLineEdit>
#include <QRandomGenerator>

#include <cmath>

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

namespace Simulation {

namespace {

constexpr int kLowestClass = -5;
constexpr int kHighestClass = 5;
// Draws for one value before the fill gives up; far beyond what any reachable class needs.
constexpr int kMaxDraws = 100000;
// A class is only aimed at when at least this share of the drawing range lands in it.
constexpr double kLeastShare = 1e-3;

const QString kTooCoarse = u"「有効」の単位が「分布」の幅に比べて粗いため、指定のヒストグラムの値を作れません。"_s;

int ClassOf(double v, double width)
{
    return int(std::trunc(RoundTo(0, v / width)));
}

// Whether drawn values, rounded to the output decimals, can fall into class K often enough.
bool Reachable(int k, double width, int decimals, double lower, double upper)
{
    const double step = std::pow(10.0, -decimals);
    const long long centre = std::llround(k * width / step);
    for (long long m = centre - 1; m <= centre + 1; ++m) {
        const double v = RoundTo(decimals, double(m) * step);
        if (ClassOf(v, width) != k)
            continue;
        const double share = std::fmin(v + step / 2, upper) - std::fmax(v - step / 2, lower);
        if (share >= kLeastShare * (upper - lower))
            return true;
    }
    return false;
}

class TSpreadCells final : public TGridCells
{
public:
    explicit TSpreadCells(TSpread *spread)
        : m_spread(spread)
    {
    }
    int Rows() const override { return m_spread->MaxRows(); }
    QString Cell(int column, int row) const override { return m_spread->CellText(column, row); }
    void SetCell(int column, int row, const QString &text) override { m_spread->SetCellText(column, row, text); }

private:
    TSpread *m_spread;
};

} // namespace

QList<int> Quotas(const QList<int> &percents, int n)
{
    QList<int> quotas(ClassCount, 0);
    int sum = 0;
    int largest = 0;
    for (int i = 0; i < ClassCount && i < percents.size(); ++i) {
        const int p = qMax(0, percents.at(i));
        quotas[i] = int(std::trunc(RoundTo(0, double(p) * n / 100)));
        sum += quotas[i];
        if (quotas[i] > quotas[largest])
            largest = i;
    }
    quotas[largest] += n - sum;
    return quotas;
}

QList<TCellValue> Plan(const TGridCells &grid, const TInput &input, const TUniform &uniform)
{
    const double width = TextToFloat(input.Bunpu);
    if (input.Bunpu.trimmed().isEmpty() || !(width > 0))
        throw EKelmoError(u"「分布」に0より大きい値を入力してください。"_s);
    const double yukou = TextToFloat(input.Yukou);
    if (input.Yukou.trimmed().isEmpty() || !(yukou > 0))
        throw EKelmoError(u"「有効」に0より大きい値を入力してください。"_s);
    bool anyPercent = false;
    for (int p : input.Percents)
        anyPercent = anyPercent || p > 0;
    if (!anyPercent)
        throw EKelmoError(u"ヒストグラムの割合がすべて0です。棒の高さを設定してください。"_s);

    QList<int> rows;
    int n = 0;
    for (int r = 1; r <= grid.Rows(); ++r) {
        if (grid.Cell(StationColumn, r).trimmed().isEmpty())
            continue;
        rows.append(r);
        for (int g = 0; g < 3; ++g)
            n += IsFloatText(grid.Cell(DesignColumn(g), r)) ? 1 : 0;
    }
    if (n == 0)
        throw EKelmoError(u"測点と数値の設計値が入った行がありません。"_s);

    QList<int> quotas = Quotas(input.Percents, n);
    const int decimals = -int(std::trunc(std::log10(yukou)));
    const QString range = FormatGeneral(-5.5 * width) + u'_' + FormatGeneral(5.5 * width);
    const double lower = RangeLower(range);
    const double upper = RangeUpper(range);
    for (int k = kLowestClass; k <= kHighestClass; ++k) {
        if (quotas[k - kLowestClass] > 0 && !Reachable(k, width, decimals, lower, upper))
            throw EKelmoError(kTooCoarse);
    }

    const TUniform draw = uniform ? uniform : [] { return QRandomGenerator::global()->generateDouble(); };
    const double diffFactor = UnitFactor(input.DiffUnit);
    QList<TCellValue> plan;
    plan.reserve(n);
    while (!rows.isEmpty()) {
        const int pick = qMin(int(draw() * double(rows.size())), int(rows.size()) - 1);
        const int r = rows.takeAt(pick);
        for (int g = 0; g < 3; ++g) {
            if (!IsFloatText(grid.Cell(DesignColumn(g), r)))
                continue;
            double v = 0;
            int k = 0;
            int draws = 0;
            do {
                if (++draws > kMaxDraws)
                    throw EKelmoError(kTooCoarse);
                v = RoundTo(decimals, lower + draw() * (upper - lower));
                k = ClassOf(v, width);
            } while (k < kLowestClass || k > kHighestClass || quotas[k - kLowestClass] <= 0);
            --quotas[k - kLowestClass];
            plan.append({DiffColumn(g), r, FormatGeneral(v / diffFactor)});
        }
    }
    return plan;
}

void Run(TfrmEditDekigata &window, const QList<int> &percents, const TUniform &uniform)
{
    TSpreadCells cells(window.vaSpread1);
    const TInput input{percents, window.Edit3->text(), window.Edit2->text(), window.ComboBox8->Text()};
    const QList<TCellValue> plan = Plan(cells, input, uniform);
    for (const TCellValue &cell : plan) {
        window.vaSpread1->SetCellText(cell.Column, cell.Row, cell.Text);
        window.GridChanged(cell.Column, cell.Row);
    }
}

} // namespace Simulation
