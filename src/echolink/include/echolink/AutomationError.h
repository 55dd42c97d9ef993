#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <exception>

namespace echolink {

// Status codes an automation call can fail with. They are 32-bit, HRESULT
// style: negative means failure. Back ends use these where one fits and may
// pass through any other code their transport reports.
namespace status {
inline constexpr qint32 Fail = qint32(0x80004005u);              // unspecified failure
inline constexpr qint32 NotImplemented = qint32(0x80004001u);
inline constexpr qint32 InvalidArgument = qint32(0x80070057u);
inline constexpr qint32 ClassNotRegistered = qint32(0x80040154u); // unknown back end kind
inline constexpr qint32 ServerUnavailable = qint32(0x800706BAu);  // the station cannot be reached
inline constexpr qint32 Disconnected = qint32(0x80010108u);       // the station went away
} // namespace status

// The one exception type of the automation link. Every operation of an
// Automation back end reports failure by throwing it; the caller decides
// whether to ignore it or let it reach the run-time error report.
class AutomationError : public std::exception
{
public:
    AutomationError(qint32 status, const QString &description);

    // The 32-bit failure status (negative, like an HRESULT).
    qint32 status() const noexcept { return m_status; }
    // Human-readable text naming what failed.
    QString description() const { return m_description; }
    // The description as UTF-8, for std::exception users.
    const char *what() const noexcept override;

private:
    qint32 m_status;
    QString m_description;
    QByteArray m_what;
};

} // namespace echolink
