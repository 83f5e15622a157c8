#include "app/uCommon.h"

#include "app/Errors.h"
#include "app/RegistryUtility.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <cfenv>
#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kOpenEnd = 1e12;

// A plain decimal number: [+-]? (digits [. digits?] | . digits) ([eE] [+-]? digits)?, ASCII
// digits only; one line feed may follow, as a regular expression's "$" allows. Checked by
// hand because the figures of a record test every cell of its lines.
bool IsPlainNumber(const QString &text)
{
    const QChar *p = text.constData();
    const QChar *end = p + text.size();
    if (p != end && end[-1] == u'\n')
        --end;
    auto digits = [&] {
        const QChar *start = p;
        while (p != end && *p >= u'0' && *p <= u'9')
            ++p;
        return p != start;
    };
    if (p != end && (*p == u'+' || *p == u'-'))
        ++p;
    const bool whole = digits();
    bool fraction = false;
    if (p != end && *p == u'.') {
        ++p;
        fraction = digits();
    }
    if (!whole && !fraction)
        return false;
    if (p != end && (*p == u'e' || *p == u'E')) {
        ++p;
        if (p != end && (*p == u'+' || *p == u'-'))
            ++p;
        if (!digits())
            return false;
    }
    return p == end;
}

bool ParseStrict(const QString &text, double *value)
{
    if (!IsPlainNumber(text))
        return false;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}
} // namespace

QString HalfWidthNumberText(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            c = QChar(char16_t(u'0' + (u - 0xFF10)));
        else if (u == 0xFF0D || u == 0x2212) // "－" as windows-31j and as JIS decode it
            c = u'-';
        else if (u == 0xFF0B)
            c = u'+';
        else if (u == 0xFF0E)
            c = u'.';
        else if (u == 0x3000)
            c = u' ';
    }
    return out;
}

bool ReadDecimalText(const QString &text, double *value)
{
    QString t = text;
    for (QChar c : text) {
        if (c.unicode() >= 0x2000) {
            t = HalfWidthNumberText(text);
            break;
        }
    }
    t = t.trimmed();
    const QChar *p = t.constData();
    const QChar *end = p + t.size();
    if (p != end && (*p == u'+' || *p == u'-'))
        ++p;
    int digits = 0;
    bool point = false;
    for (; p != end; ++p) {
        if (*p >= u'0' && *p <= u'9')
            ++digits;
        else if (*p == u'.' && !point)
            point = true;
        else
            return false;
    }
    if (digits == 0)
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (value)
        *value = v;
    return true;
}

bool IsDecimalText(const QString &text)
{
    return ReadDecimalText(text, nullptr);
}

bool IsFloatText(const QString &text)
{
    double v = 0;
    return ParseStrict(text, &v);
}

double TextToFloat(const QString &text)
{
    if (text.trimmed().isEmpty())
        return 0;
    QString kept;
    for (QChar c : text) {
        if (c == u'-' || c == u'.' || (c >= u'0' && c <= u'9'))
            kept += c;
    }
    double v = 0;
    return ParseStrict(kept, &v) ? v : 0;
}

double TextToFloatOrMax(const QString &text)
{
    double v = 0;
    return ParseStrict(text, &v) ? v : kOpenEnd;
}

double StrToFloat(const QString &text)
{
    double v = 0;
    if (!ParseStrict(text.trimmed(), &v))
        throw EConvertError(u"'%1' は浮動小数点数ではありません"_s.arg(text));
    return v;
}

int StrToInt(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok)
        throw EConvertError(u"'%1' は整数ではありません"_s.arg(text));
    return v;
}

QDate TextToDate(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QDate();
    static const QRegularExpression full(u"^([0-9]{1,4})/([0-9]{1,2})/([0-9]{1,2})$"_s);
    static const QRegularExpression shortForm(u"^([0-9]{1,2})/([0-9]{1,2})$"_s);
    int y = 0, m = 0, d = 0;
    if (const auto match = full.match(t); match.hasMatch()) {
        y = match.captured(1).toInt();
        m = match.captured(2).toInt();
        d = match.captured(3).toInt();
        // Two-digit years fall within fifty years of today.
        if (match.captured(1).size() <= 2) {
            const int thisYear = QDate::currentDate().year();
            y += (thisYear / 100) * 100;
            if (y > thisYear + 50)
                y -= 100;
        }
    } else if (const auto match2 = shortForm.match(t); match2.hasMatch()) {
        y = QDate::currentDate().year();
        m = match2.captured(1).toInt();
        d = match2.captured(2).toInt();
    } else {
        return QDate();
    }
    const QDate date(y, m, d);
    return date.isValid() ? date : QDate();
}

bool IsDateText(const QString &text)
{
    return TextToDate(text).isValid();
}

QString DateToText(const QDate &date)
{
    return date.isValid() ? date.toString(u"yyyy/MM/dd"_s) : QString();
}

QString SignedText(const QString &text)
{
    return TextToFloat(text) >= 0 ? u'+' + text : text;
}

int TruncToInt(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (x <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(std::trunc(x));
}

float FloatMod(float x, float y)
{
    return x - y * std::trunc(x / y);
}

double RoundTo(int n, double x)
{
    const double s = x >= 0 ? 1.0 : -1.0;
    const double scale = std::pow(10.0, n);
    // Extended precision keeps the product's binary error visible: 2.675 * 100 stays just
    // below 267.5 instead of becoming the tie 267.5 in double.
    const long double m = std::fabs((long double)x) * (long double)scale;
    qint32 r = 0;
    constexpr long double kLargest = std::numeric_limits<qint32>::max();
    if (!(m < kLargest)) {
        // Beyond the rule's 32-bit range (also NaN): the largest step it can express.
        r = std::numeric_limits<qint32>::max();
    } else if (ReadSetting(u"RoundON"_s) == u"TRUE"_s) {
        const int mode = std::fegetround();
        std::fesetround(FE_TONEAREST);
        r = qint32(std::nearbyintl(m));
        std::fesetround(mode);
    } else {
        // Writing with 15 significant digits first absorbs the binary error of m + 0.5.
        const QString written = FormatGeneral(double(m + 0.5L));
        const qsizetype dot = written.indexOf(u'.');
        const QString whole = dot < 0 ? written : written.left(dot);
        bool ok = false;
        r = whole.toInt(&ok);
        if (!ok)
            r = qint32(std::trunc(std::fmin(double(m) + 0.5, double(std::numeric_limits<qint32>::max()))));
    }
    return s * double(r) / scale;
}

double RoundUpTo(int n, double x)
{
    const double scale = std::pow(10.0, n);
    return std::trunc(scale * x + 0.99999) / scale;
}

namespace {
// Whole numbers as printed; values beyond 64 bits print as the nearest end.
QString IntegerText(double v)
{
    if (std::isnan(v))
        return u"0"_s;
    if (v >= 9.2e18)
        return QString::number(std::numeric_limits<qint64>::max());
    if (v <= -9.2e18)
        return QString::number(std::numeric_limits<qint64>::min());
    return QString::number(qint64(v));
}
} // namespace

QString Format80Percent(double x)
{
    const double s = x >= 0 ? 1.0 : -1.0;
    const double v = std::fabs(x);
    const int mode = TruncToInt(TextToFloat(ReadSetting(u"K4_80%_ROUND"_s)));
    switch (mode) {
    case 0:
        return FormatFixed(s * v, 1);
    case 1:
        return IntegerText(s * std::trunc(v + 0.5));
    case 2:
        return IntegerText(s * std::trunc(v));
    case 3:
        return IntegerText(s * std::trunc(RoundTo(0, v)));
    default:
        return QString();
    }
}

QString ItemCode(const QString &item)
{
    const qsizetype colon = item.indexOf(u':');
    if (colon < 0)
        return item;
    return item.left(colon);
}

QString ItemName(const QString &item)
{
    const qsizetype colon = item.indexOf(u':');
    if (colon <= 0)
        return QString();
    return item.mid(colon + 1);
}

double RangeLower(const QString &text)
{
    const qsizetype bar = text.indexOf(u'_');
    if (bar < 0)
        return IsFloatText(text) ? TextToFloatOrMax(text) : -kOpenEnd;
    const QString a = text.left(bar);
    const QString b = text.mid(bar + 1);
    if (a.isEmpty())
        return -kOpenEnd;
    if (b.isEmpty())
        return TextToFloatOrMax(a);
    return std::fmin(TextToFloatOrMax(a), TextToFloatOrMax(b));
}

double RangeUpper(const QString &text)
{
    const qsizetype bar = text.indexOf(u'_');
    if (bar < 0)
        return TextToFloatOrMax(text);
    const QString a = text.left(bar);
    const QString b = text.mid(bar + 1);
    if (b.isEmpty())
        return kOpenEnd;
    if (a.isEmpty())
        return TextToFloatOrMax(b);
    return std::fmax(TextToFloatOrMax(a), TextToFloatOrMax(b));
}

double RandomInRange(const QString &text)
{
    const double lower = RangeLower(text);
    const double upper = RangeUpper(text);
    return lower + QRandomGenerator::global()->generateDouble() * (upper - lower);
}

QString AddToStationText(const QString &text, const QString &interval)
{
    qsizetype start = 0;
    // Only ASCII digits count as the number of a station.
    while (start < text.size() && !(text.at(start) >= u'0' && text.at(start) <= u'9'))
        ++start;
    qsizetype end = start;
    while (end < text.size() && text.at(end) >= u'0' && text.at(end) <= u'9')
        ++end;
    const float number = float(TextToFloat(text.mid(start, end - start)));
    const float step = float(TextToFloat(interval));
    const double sum = double(number) + double(step);
    return text.left(start) + FormatGeneral(sum) + text.mid(end);
}

QString FormatGeneral(double value)
{
    if (value == 0)
        return u"0"_s;
    if (!std::isfinite(value))
        return std::isnan(value) ? u"NAN"_s : (value > 0 ? u"INF"_s : u"-INF"_s);
    // 15 significant digits: d.dddddddddddddde±x
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const QString sci = QString::fromLatin1(buffer);
    const qsizetype ePos = sci.indexOf(u'e');
    const bool negative = sci.startsWith(u'-');
    QString digits = sci.left(ePos);
    digits.remove(u'-');
    digits.remove(u'.');
    const int exponent = sci.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);

    QString out;
    if (exponent >= 15 || exponent < -5) {
        out = digits.left(1);
        if (digits.size() > 1)
            out += u'.' + digits.mid(1);
        out += u'E' + QString::number(exponent);
    } else if (exponent < 0) {
        out = u"0."_s + QString(-exponent - 1, u'0') + digits;
    } else if (digits.size() <= exponent + 1) {
        out = digits + QString(exponent + 1 - digits.size(), u'0');
    } else {
        out = digits.left(exponent + 1) + u'.' + digits.mid(exponent + 1);
    }
    return negative ? u'-' + out : out;
}

QString FormatFixed(double value, int decimals)
{
    return QString::asprintf("%1.*f", qMax(0, decimals), value);
}

QString ProgramVersionText()
{
    return u"%1.%2.%3.%4"_s.arg(KELMO4_VERSION_MAJOR)
        .arg(KELMO4_VERSION_MINOR)
        .arg(KELMO4_VERSION_PATCH)
        .arg(KELMO4_VERSION_TWEAK);
}

QString GetFileVersionText(const QString &fileName, const QString &key)
{
    // Linux executables carry no version resource; only our own programs know theirs.
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    const QFileInfo asked(fileName);
    const bool isOwn = asked.canonicalFilePath() == own || asked.fileName().startsWith(u"kelmo4"_s);
    if (!isOwn)
        return QString();
    if (key == u"FileVersion"_s || key == u"ProductVersion"_s)
        return ProgramVersionText();
    if (key == u"ProductName"_s)
        return u"ケルモ４"_s;
    return QString();
}

void CenterInWorkArea(QWidget *form)
{
    QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = form->frameGeometry().size();
    form->move(area.left() + (area.width() - size.width()) / 2,
               area.top() + (area.height() - size.height()) / 2);
}

void HalfWidthWhileTyping(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        const QString half = HalfWidthNumberText(text);
        if (half == text)
            return;
        // One character for one: the caret stays where it was.
        const int caret = edit->cursorPosition();
        edit->setText(half);
        edit->setCursorPosition(caret);
    });
}
