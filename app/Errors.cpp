#include "app/Errors.h"

EKelmoError::EKelmoError(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{
}

const char *EKelmoError::what() const noexcept
{
    return m_utf8.constData();
}

EConflictError::EConflictError()
    : EDatabaseError(QStringLiteral("他の端末でこのデータが変更されました。読み込み直してください。"))
{
}
