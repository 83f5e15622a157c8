#pragma once

#include <QString>
#include <exception>

// Every failure the program reports carries its message in Japanese; one handler at the
// event loop shows it and ends the command that raised it.
class EKelmoError : public std::exception
{
public:
    explicit EKelmoError(QString message);
    const QString &Message() const noexcept { return m_message; }
    const char *what() const noexcept override;

private:
    QString m_message;
    QByteArray m_utf8;
};

// A table operation failed: engine error, unreadable folder, a text too long for its field.
class EDatabaseError : public EKelmoError
{
public:
    using EKelmoError::EKelmoError;
};

// A save found its row changed by another program since it was read; nothing was written.
class EConflictError : public EDatabaseError
{
public:
    EConflictError();
};

// A text did not convert to the number or date it had to be.
class EConvertError : public EKelmoError
{
public:
    using EKelmoError::EKelmoError;
};

// A file of the program (defaults, settings) could not be read or written.
class EFileError : public EKelmoError
{
public:
    using EKelmoError::EKelmoError;
};
