#pragma once

#include "measure/uKelmo4Line.h"

#include <QList>
#include <QString>

#include <functional>
#include <span>

class TKelmo4Head;
class TPageCanvas;
class TPrevX;

// What the six data-sheet layouts share: the page loop, the value groups, the remarks and
// header composition rules, the standard values and the fixed parts of a form drawn from
// tables.

// The font every data sheet is written in.
QString SheetFontName();

// ---- page loop ----

// Runs the lines through pages of RowsPerPage rows: StartPage at the first row of each page
// (after the font name is set; it draws frame and header), DrawRow for each line in its row
// slot 0 … RowsPerPage − 1. A new page is started only when another line follows, so a full
// last page has no empty page behind it; without lines the current page stays empty.
void RunSheetPages(TPrevX *Prev, const QList<TKel4LineRow> &Lines, int RowsPerPage,
                   const std::function<void()> &StartPage,
                   const std::function<void(const TKel4LineRow &line, int slot)> &DrawRow);
// The same over Count rows of any kind, DrawRow(index, slot) with index from 0.
void RunPages(TPrevX *Prev, int Count, int RowsPerPage, const std::function<void()> &StartPage,
              const std::function<void(int index, int slot)> &DrawRow);

// ---- texts ----

// Cell texts of a line by field.
enum class TLineCell { Sokuten, Iti, L0, L1, L2, C0, C1, C2, R0, R1, R2, Biko };
const QString &CellText(const TKel4LineRow &line, TLineCell cell);

// Remarks as five layouts print them: a remark that reads as a date is a measurement date,
// not a remark, and is left out.
QString RemarkUnlessDate(const QString &biko);

// A record has a section unless its section name is "#" (or blank) once trimmed.
bool RecordHasSection(const QString &koukumei);

// How a layout composes the work type, section and item into one header text.
enum class TSectionStyle {
    ItemBox,      // item, section on a second line
    WorkTypeBox,  // work type, section on a second line
    WorkTypeLine, // "work type(section)のitem"
};
QString SectionText(TSectionStyle style, const QString &kosyumei, const QString &koukumei,
                    const QString &sokuteiKoumoku);
QString SectionText(TSectionStyle style, const TKelmo4Head &head);

// A standard value (millimetres, as typed) in the difference unit, general format; empty
// for a blank limit.
QString StandardValueText(const QString &limit, const QString &saTanni);
// The same with a sign: "+" before a value that is not negative; empty for a blank limit.
QString SignedStandardText(const QString &limit, const QString &saTanni);

// lower + " ～ " + upper + "(unit)" with signed standard values, as the print style 0
// sheets write the standard range.
QString SignedStandardRange(const TKelmo4Head &head);

// The difference figures of print style 0; empty texts when the record has no numeric
// difference (the figures would otherwise print their ±1e12 starting values).
QString SignedAverageText(const TKelmo4Head &head);
QString SignedDiffRangeText(const TKelmo4Head &head);
// The same from the record's lines, loaded once by the caller.
QString SignedAverageText(const TKelmo4Head &head, const QList<TKel4LineRow> &lines);
QString SignedDiffRangeText(const TKelmo4Head &head, const QList<TKel4LineRow> &lines);

// ---- value groups ----

// Where one place (L, C or R) of a row is drawn: three right-aligned columns for a numeric
// design value, else one left-aligned box for the three texts joined.
struct TValueGroupBoxes
{
    float DesignLeft, DesignRight;
    float MeasuredLeft, MeasuredRight;
    float DiffLeft, DiffRight;
    float JoinedLeft, JoinedRight;
    bool TrimJoined; // the layouts differ in whether the joined texts are trimmed first
};

// The joined text of a non-numeric group.
QString JoinedValueText(const QString &design, const QString &measured, const QString &diff, bool trim);

// Draws one place of a row between Top and Bottom; true when the design value was numeric.
bool DrawValueGroup(TPageCanvas *Canvas, const QString &design, const QString &measured,
                    const QString &diff, const TValueGroupBoxes &boxes, float Top, float Bottom);
// The same for place 0 (L), 1 (C) or 2 (R) of a line.
bool DrawValueGroup(TPageCanvas *Canvas, const TKel4LineRow &line, int place, const TValueGroupBoxes &boxes,
                    float Top, float Bottom);

// ---- fixed parts of a form ----

// The measurer's seal: a circle of radius 0.2 cm with "印" at 8 pt centred in it; the font
// size before it is restored.
void DrawSeal(TPageCanvas *Canvas, float X, float Y);

// One step of a form drawn from a table.
struct TFormItem
{
    enum TKind { PenWidth, FontSize, Box, Line, Text, VerticalText, Seal, Rulings };
    TKind Kind;
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    const char16_t *Caption = nullptr;
    int Align = 0;
    // Rulings: Count horizontal lines from X1 to X2 at Y1 + Pitch·i, i = 0 … Count − 1.
    float Pitch = 0;
    int Count = 0;
    int Value = 0; // pen width in pixels, font size in points
};

namespace Form {
constexpr TFormItem Pen(int pixels) { return {TFormItem::PenWidth, 0, 0, 0, 0, nullptr, 0, 0, 0, pixels}; }
constexpr TFormItem Font(int points) { return {TFormItem::FontSize, 0, 0, 0, 0, nullptr, 0, 0, 0, points}; }
constexpr TFormItem Box(float x1, float y1, float x2, float y2) { return {TFormItem::Box, x1, y1, x2, y2}; }
constexpr TFormItem Line(float x1, float y1, float x2, float y2) { return {TFormItem::Line, x1, y1, x2, y2}; }
// Caption in the box x1–x2, y1–y2 (note the order: from–to across, then down).
constexpr TFormItem Text(const char16_t *caption, int align, float x1, float x2, float y1, float y2)
{
    return {TFormItem::Text, x1, y1, x2, y2, caption, align};
}
constexpr TFormItem VText(const char16_t *caption, int align, float x1, float x2, float y1, float y2)
{
    return {TFormItem::VerticalText, x1, y1, x2, y2, caption, align};
}
constexpr TFormItem Seal(float x, float y) { return {TFormItem::Seal, x, y}; }
constexpr TFormItem Rulings(float x1, float x2, float y0, float pitch, int count)
{
    return {TFormItem::Rulings, x1, y0, x2, y0, nullptr, 0, pitch, count};
}
} // namespace Form

void DrawFormItems(TPageCanvas *Canvas, std::span<const TFormItem> items);

// The notes under a form are printed unless the defaults say "印刷時に注意書きを印刷しない".
bool NotesWanted();
