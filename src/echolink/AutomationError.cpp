#include <echolink/AutomationError.h>

namespace echolink {

AutomationError::AutomationError(qint32 status, const QString &description)
    : m_status(status)
    , m_description(description)
    , m_what(description.toUtf8())
{
    Q_ASSERT_X(status < 0, "AutomationError", "a failure status is negative");
}

const char *AutomationError::what() const noexcept
{
    return m_what.constData();
}

} // namespace echolink
