#pragma once

#include <QDate>
#include <QString>

class QLineEdit;
class QWidget;

// Tolerant conversions, rounding and small text rules shared by every window and form.
// All numbers on screen and in the tables are texts; these functions fix how they are read.

// Strict: optional sign, digits with at most one '.', optional exponent, nothing else.
bool IsFloatText(const QString &text);
// Lenient: keeps only '-', '.', '0'..'9' and converts the rest; 0 on failure or blank.
double TextToFloat(const QString &text);
// Full-width digits, signs and point (what an input method types) and the ideographic
// space in their half-width forms; every other character stays as it is.
QString HalfWidthNumberText(const QString &text);
// A value as the grid and the limit fields take it: blanks around, an optional sign,
// digits with at most one point; full-width forms count as half-width. No exponent and no
// separator, so "1,5" or "1e3" stays a text. False for any other text, also the empty one.
bool ReadDecimalText(const QString &text, double *value);
bool IsDecimalText(const QString &text);
// Strict conversion, or 1e12 when the text is not a number.
double TextToFloatOrMax(const QString &text);
// Strict conversion; raises EConvertError "'%s' は浮動小数点数ではありません".
double StrToFloat(const QString &text);
// Strict integer conversion; raises EConvertError "'%s' は整数ではありません".
int StrToInt(const QString &text);

// Dates in the short format yyyy/MM/dd; month/day alone takes the current year.
bool IsDateText(const QString &text);
// An invalid date (the null date) when the text is blank or not a date.
QDate TextToDate(const QString &text);
QString DateToText(const QDate &date);

// "+" before a text whose value is not negative.
QString SignedText(const QString &text);
// Trunc(X) as an int, held within the int range (NaN gives 0): settings and edits that are
// "read as a number, truncated" can hold any text.
int TruncToInt(double x);
// X - Y * Trunc(X / Y) in single precision.
float FloatMod(float x, float y);

// Rounds to N decimals: half away from zero on the value as written with 15 digits, or
// half to even at full precision when the setting "RoundON" is "TRUE" (read every call).
double RoundTo(int n, double x);
// Rounds up to N decimals, taking anything within 0.00001 below a step as that step.
double RoundUpTo(int n, double x);

// Printed form of an 80 % or 50 % value in millimetres, after the setting "K4_80%_ROUND".
QString Format80Percent(double x);

// Items "code:name" of the drop-down lists.
QString ItemCode(const QString &item);
QString ItemName(const QString &item);

// Ranges written "a_b"; an open side is -1e12 or 1e12.
double RangeUpper(const QString &text);
double RangeLower(const QString &text);
double RandomInRange(const QString &text);

// "No.9" + "1" -> "No.10": adds the interval to the first run of digits.
QString AddToStationText(const QString &text, const QString &interval);

// General number format: up to 15 significant digits, no separators, trailing zeros
// dropped, exponent form ("1E15") when the exponent is 15 or more or below -5.
QString FormatGeneral(double value);
// Fixed format "%1.<n>f": exactly N decimals, at least one digit before the point.
QString FormatFixed(double value, int decimals);

// Version texts of the named executable; ours carries the version compiled in.
QString GetFileVersionText(const QString &fileName, const QString &key);
// The four parts of the program's version joined by "." ("1.0.0.1").
QString ProgramVersionText();

// A field for a number: what the user types or pastes is kept in half-width form.
void HalfWidthWhileTyping(QLineEdit *edit);

// Places the window in the middle of the desktop work area.
void CenterInWorkArea(QWidget *form);
