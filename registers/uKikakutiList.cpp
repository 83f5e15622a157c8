#include "registers/uKikakutiList.h"

#include "app/uDatabase.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uPrintView.h"
#include "registers/uKikakuti4.h"
#include "registers/uKosyu.h"

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kRowsPerPage = 25;

struct THeading
{
    const char16_t *Text;
    float Left, Right;
};

constexpr THeading kHeadings[] = {
    {u"ID", 0, 1},      {u"区分", 1, 3},    {u"工種", 3, 5},     {u"項目", 5, 7},
    {u"規格値", 7, 9},  {u"規格値2", 9, 11}, {u"判定値", 11, 12}, {u"条件", 12, 14},
};

// The boxes that make the column rules x = 1, 3, 5, 7, 9, 11, 12, 14; the strip from 14
// to 17 stays empty.
constexpr float kColumnBoxes[][2] = {{1, 3}, {5, 7}, {9, 11}, {12, 14}};

void DrawListFrame(TPageCanvas *Canvas)
{
    // Outlines only: a filled rectangle would paint over the rules drawn before it.
    DrawBox(Canvas, 0, 0, 17, 26);
    for (int y = 1; y <= 25; ++y)
        DrawLine(Canvas, 0, float(y), 17, float(y));
    for (int y = 1; y <= 25; ++y)
        DrawLine(Canvas, 7, float(y) + 0.5f, 11, float(y) + 0.5f);
    for (const auto &box : kColumnBoxes)
        DrawBox(Canvas, box[0], 0, box[1], 26);
    for (const THeading &h : kHeadings)
        DrawBoxText(Canvas, QString::fromUtf16(h.Text), 1, h.Left, 0, h.Right, 1, 0);
}

QString ClassLabel(int kubun)
{
    switch (kubun) {
    case 0:
        return u"開発局"_s;
    case 1:
        return u"土現"_s;
    case 2:
        return u"支庁"_s;
    default:
        return QString();
    }
}
} // namespace

void TKikakuti4::PrintList(TPrevX *Prev)
{
    Prev->Canvas()->Font().SetSize(10);
    TQuery q(u"select * from Kikakuti4 order by Kubun,Kosyumei,Koumokumei"_s);
    q.Open();
    int n = 0;
    while (!q.Eof()) {
        ReadFromQuery(q);
        TPageCanvas *Canvas = Prev->Canvas();
        if (++n == 1)
            DrawListFrame(Canvas);
        const float y = float(n);
        DrawBoxText(Canvas, QString::number(ID), 1, 0, y, 1, y + 1, 0);
        DrawBoxText(Canvas, ClassLabel(Kubun), 1, 1, y, 3, y + 1, 0);
        DrawBoxText(Canvas, Kosyu->Kosyumei, 1, 3, y, 5, y + 1, 0);
        DrawBoxText(Canvas, Koumokumei, 1, 5, y, 7, y + 1, 0);
        DrawBoxText(Canvas, KikakutiU1, 1, 7, y, 9, y + 0.5f, 0);
        DrawBoxText(Canvas, KikakutiD1, 1, 7, y + 0.5f, 9, y + 1, 0);
        DrawBoxText(Canvas, KikakutiU2, 1, 9, y, 11, y + 0.5f, 0);
        DrawBoxText(Canvas, KikakutiD2, 1, 9, y + 0.5f, 11, y + 1, 0);
        DrawBoxText(Canvas, GokakuHantei ? u"○"_s : QString(), 1, 11, y, 12, y + 1, 0);
        DrawBoxText(Canvas, Joken, 1, 12, y, 14, y + 1, 0);
        q.Next();
        if (n == kRowsPerPage && !q.Eof()) {
            Prev->NewPage();
            Prev->Canvas()->Font().SetSize(10);
            n = 0;
        }
    }
}

void DrawKikakutiListDocument(TPrevX *Prev)
{
    TKikakuti4 kikakuti;
    kikakuti.CreateTableIfMissing();
    PrintOffsetX = -2.0f;
    PrintOffsetY = -1.85f;
    Prev->SetFileTitle(u"規格値一覧"_s);
    Prev->BeginDoc();
    kikakuti.PrintList(Prev);
    Prev->EndDoc();
}

void PreviewKikakutiList(QWidget *Owner)
{
    TfrmPreView preview(Owner);
    DrawKikakutiListDocument(preview.PrevX1);
    preview.exec();
}
