#include "app/uRowVersion.h"

#include "app/Errors.h"
#include "app/uDatabase.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

void TRowVersion::Loaded(const QString &key, int counter)
{
    m_key = key;
    m_source = TDatabase::OpenFolder();
    m_counter = counter;
    m_loaded = true;
}

void TRowVersion::Forget()
{
    m_key.clear();
    m_source.clear();
    m_counter = -1;
    m_loaded = false;
}

int TRowVersion::Check(const QString &key, int now) const
{
    if (m_loaded && key == m_key && m_source == TDatabase::OpenFolder())
        CheckRowVersion(m_counter, now);
    return NextRowVersion(now);
}

TVersionsUntilCommit::TVersionsUntilCommit(std::initializer_list<TRowVersion *> versions)
{
    for (TRowVersion *version : versions)
        m_kept.append({version, *version});
}

TVersionsUntilCommit::~TVersionsUntilCommit()
{
    if (m_committed)
        return;
    for (const auto &[version, kept] : std::as_const(m_kept))
        *version = kept;
}

void CheckRowVersion(int loaded, int now)
{
    if (loaded != now)
        throw EConflictError();
}

QString RowVersionKey(std::initializer_list<QString> parts)
{
    // A separator no typed text holds, so that ("a", "bc") and ("ab", "c") differ.
    return QStringList(parts).join(QChar(0x1f));
}

namespace {
const QString kField = QString::fromUtf16(RowVersionField);

void RequireColumn(const TQuery &query)
{
    if (!query.HasField(kField)) {
        throw EDatabaseError(
            u"データフォルダのテーブルに項目 KOUSIN（更新回数）がないため、保存できません。テーブルファイルに書き込めるようにしてから、"
            "プログラムを起動し直してください。"_s);
    }
}
} // namespace

int LoadedRowVersion(const TQuery &query)
{
    if (query.Eof())
        return -1;
    if (!query.HasField(kField))
        return 0;
    return query.FieldInt(kField);
}

int StoredRowVersion(const TQuery &query)
{
    RequireColumn(query);
    return LoadedRowVersion(query);
}

int LoadedSetVersion(TQuery &query)
{
    int highest = -1;
    const int column = query.HasField(kField) ? query.FieldIndex(kField) : -1;
    for (; !query.Eof(); query.Next())
        highest = qMax(highest, column < 0 ? 0 : query.FieldIntAt(column));
    return highest;
}

int StoredSetVersion(TQuery &query)
{
    RequireColumn(query);
    return LoadedSetVersion(query);
}
