// The DekigataDef reader: any file content loads without a crash, every field decodes
// within its room, and a record written back reads back byte for byte.
#include "FuzzSupport.h"

#include "app/uDekigataDef.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("DekigataDef"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    TDekigataDef def;
    const auto result = def.Load(file);
    FUZZ_CHECK(result == (size < size_t(TDekigataDef::RecordSize) ? TDekigataDef::LoadResult::ShortFileRewritten
                                                               : TDekigataDef::LoadResult::Loaded));
    FUZZ_CHECK(def.Bytes().size() == TDekigataDef::RecordSize);
    FUZZ_CHECK(def.CompanyName().size() <= TDekigataDef::CompanyNameMax);
    FUZZ_CHECK(def.LogoFile().size() <= TDekigataDef::LogoFileMax);
    for (int k = 1; k <= 6; ++k) {
        for (int t = 1; t <= 3; ++t)
            FUZZ_CHECK(def.Units(k, t).size() <= TDekigataDef::UnitMax);
    }
    for (int n = 1; n <= TDekigataDef::ColorCount; ++n)
        (void)def.Colors(n);
    def.Save(file);
    TDekigataDef again;
    FUZZ_CHECK(again.Load(file) == TDekigataDef::LoadResult::Loaded);
    FUZZ_CHECK(again.Bytes() == def.Bytes());
    // Setting a decoded text again never grows beyond its room.
    again.SetCompanyName(def.CompanyName());
    FUZZ_CHECK(again.CompanyName().size() <= TDekigataDef::CompanyNameMax);
    return 0;
}
