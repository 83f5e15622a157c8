#include "app/uDekigataDef.h"

#include "app/Errors.h"
#include "app/SjisText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <cmath>
#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kLogoOffset = 0;
constexpr int kUnitsOffset = 65;
constexpr int kColorsOffset = 228;
constexpr int kNoNotesOffset = 432;
constexpr int kCompanyOffset = 433;

int UnitOffset(int k, int t)
{
    return kUnitsOffset + (k - 1) * 27 + (t - 1) * 9;
}
} // namespace

TDekigataDef::TDekigataDef()
    : m_bytes(RecordSize, '\0')
{
}

void TDekigataDef::Clear()
{
    m_bytes.fill('\0', RecordSize);
}

QString TDekigataDef::TextAt(int offset, int capacity) const
{
    // A length byte beyond the room of the field cannot be trusted further than the room.
    const int length = qMin(int(quint8(m_bytes.at(offset))), capacity);
    return SjisText::Decode(m_bytes.mid(offset + 1, length));
}

void TDekigataDef::SetTextAt(int offset, int capacity, const QString &text)
{
    const QByteArray bytes = SjisText::Encode(SjisText::CutToBytes(text, capacity)).left(capacity);
    m_bytes[offset] = char(bytes.size());
    for (int i = 0; i < capacity; ++i)
        m_bytes[offset + 1 + i] = i < bytes.size() ? bytes.at(i) : '\0';
}

QString TDekigataDef::LogoFile() const
{
    return TextAt(kLogoOffset, LogoFileMax);
}

void TDekigataDef::SetLogoFile(const QString &path)
{
    SetTextAt(kLogoOffset, LogoFileMax, path);
}

QString TDekigataDef::Units(int k, int t) const
{
    if (k < 1 || k > 6 || t < 1 || t > 3)
        return QString();
    return TextAt(UnitOffset(k, t), UnitMax);
}

void TDekigataDef::SetUnits(int k, int t, const QString &unit)
{
    if (k < 1 || k > 6 || t < 1 || t > 3)
        return;
    SetTextAt(UnitOffset(k, t), UnitMax, unit);
}

quint32 TDekigataDef::Colors(int n) const
{
    if (n < 1 || n > ColorCount)
        return 0;
    return qFromLittleEndian<quint32>(m_bytes.constData() + kColorsOffset + (n - 1) * 4);
}

void TDekigataDef::SetColors(int n, quint32 color)
{
    if (n < 1 || n > ColorCount)
        return;
    qToLittleEndian<quint32>(color, m_bytes.data() + kColorsOffset + (n - 1) * 4);
}

bool TDekigataDef::NoNotes() const
{
    return m_bytes.at(kNoNotesOffset) != '\0';
}

void TDekigataDef::SetNoNotes(bool on)
{
    m_bytes[kNoNotesOffset] = on ? '\1' : '\0';
}

QString TDekigataDef::CompanyName() const
{
    return TextAt(kCompanyOffset, CompanyNameMax);
}

void TDekigataDef::SetCompanyName(const QString &name)
{
    SetTextAt(kCompanyOffset, CompanyNameMax, name);
}

quint32 TDekigataDef::StandardColor(int n)
{
    if (n < 1 || n > ColorCount)
        return 0;
    if (n <= 41) {
        // Light blue at class 0 deepening towards the classes ±20.
        const double t = std::abs(n - 21) / 20.0;
        const auto mix = [t](int from, int to) { return quint32(std::lround(from + (to - from) * t)); };
        return mix(190, 20) | mix(225, 80) << 8 | mix(255, 190) << 16;
    }
    // Ｌ線, Ｃ線, Ｒ線, 規１, 規２, 平均値, 方眼, 50%, 80%, as 0x00BBGGRR.
    static constexpr quint32 lines[9] = {
        0x00FF0000, // blue
        0x00008000, // green
        0x002D52A0, // brown
        0x000000FF, // red
        0x00FF00FF, // magenta
        0x00800080, // purple
        0x00D2D2D2, // light grey, so that the grid stays behind the data
        0x00A0A000, // teal
        0x00008CFF, // orange
    };
    return lines[n - 42];
}

bool TDekigataDef::AllColorsBlack() const
{
    for (int n = 1; n <= ColorCount; ++n)
        if (Colors(n) != 0)
            return false;
    return true;
}

TDekigataDef::LoadResult TDekigataDef::Load(const QString &fileName, bool rewrite)
{
    if (!QFileInfo::exists(fileName)) {
        // All black hides the grid's data and the bars; a first start gets a readable palette.
        if (AllColorsBlack())
            for (int n = 1; n <= ColorCount; ++n)
                SetColors(n, StandardColor(n));
        // A reader only (the exporter) uses the palette without writing the file.
        if (!rewrite)
            return LoadResult::NoFile;
        try {
            Save(fileName);
        } catch (const EFileError &) {
            // Not fatal here: the palette is in the record, and OK in the defaults window
            // reports a folder that cannot be written.
            return LoadResult::NoFile;
        }
        return LoadResult::Created;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(u"標準値ファイル「%1」を読めません: %2"_s.arg(fileName, file.errorString()));
    // A longer file holds the record first; the rest is not ours.
    const QByteArray read = file.read(RecordSize);
    file.close();
    m_bytes.replace(0, read.size(), read);
    if (read.size() == RecordSize)
        return LoadResult::Loaded;
    if (!rewrite)
        return LoadResult::ShortFileKept;
    Save(fileName);
    return LoadResult::ShortFileRewritten;
}

void TDekigataDef::Save(const QString &fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_bytes) != RecordSize || !file.commit())
        throw EFileError(u"標準値ファイル「%1」を書き込めません: %2"_s.arg(fileName, file.errorString()));
}

TDekigataDef &DekigataDef()
{
    static TDekigataDef record;
    return record;
}

QString ShortDefaultsMessage()
{
    return u"「オプション」-「標準値の登録」を再度実行してください"_s;
}

TDekigataDef::LoadResult LoadDefaults()
{
    return DekigataDef().Load(QString::fromLatin1(DekigataDefFileName));
}

void SaveDefaults()
{
    DekigataDef().Save(QString::fromLatin1(DekigataDefFileName));
}
