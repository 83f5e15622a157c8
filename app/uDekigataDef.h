#pragma once

#include <QByteArray>
#include <QString>

// The defaults record kept in the file DekigataDef of the working folder: one record of
// 472 bytes, little-endian, texts as a length byte plus Shift-JIS bytes. The record is held
// as its bytes, so whatever the fields do not cover (padding, bytes 428..431, bytes behind a
// text's length) is written back exactly as it was read.
class TDekigataDef
{
public:
    static constexpr int RecordSize = 472;
    static constexpr int LogoFileMax = 64;
    static constexpr int UnitMax = 8;
    static constexpr int CompanyNameMax = 32;
    static constexpr int ColorCount = 50;

    TDekigataDef();

    QString LogoFile() const;
    void SetLogoFile(const QString &path);
    // Kind k = 1..6 ("設計単位" .. "測点距離"), form type t = 1..3 ("高さ", "厚さ", "幅").
    QString Units(int k, int t) const;
    void SetUnits(int k, int t, const QString &unit);
    // n = 1..41 histogram classes -20..20, 42..50 the line colours; 0x00BBGGRR.
    quint32 Colors(int n) const;
    void SetColors(int n, quint32 color);
    bool NoNotes() const;
    void SetNoNotes(bool on);
    QString CompanyName() const;
    void SetCompanyName(const QString &name);

    // The palette a new defaults file starts with: a light grid, nine distinct line colours
    // and class colours graded from the centre outward. n as for Colors.
    static quint32 StandardColor(int n);
    // True while every colour is 0 (black), as in a record that never held a palette.
    bool AllColorsBlack() const;

    const QByteArray &Bytes() const { return m_bytes; }
    void Clear();

    enum class LoadResult { NoFile, Created, Loaded, ShortFileRewritten, ShortFileKept };
    // Reads the file when it exists. A short file replaces only the start of the record,
    // is rewritten at once from the record (unless Rewrite is false: ShortFileKept), and is
    // reported as ShortFileRewritten. Raises EFileError when the file exists but cannot be
    // read or rewritten.
    // Without a file the record is written as a new file (Created, unless Rewrite is false),
    // its colours first made the standard palette when they are all black; when the file
    // is not written the record keeps the palette and the result is NoFile.
    LoadResult Load(const QString &fileName, bool rewrite = true);
    // Creates or truncates the file with the record; raises EFileError on failure.
    void Save(const QString &fileName) const;

private:
    QString TextAt(int offset, int capacity) const;
    void SetTextAt(int offset, int capacity, const QString &text);

    QByteArray m_bytes;
};

// The one defaults record of the run.
TDekigataDef &DekigataDef();

// The file by its bare name, in the current directory.
inline const char *DekigataDefFileName = "DekigataDef";

// Message shown after a short defaults file was rewritten.
QString ShortDefaultsMessage();

TDekigataDef::LoadResult LoadDefaults();
void SaveDefaults();
