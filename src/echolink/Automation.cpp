#include <echolink/Automation.h>

namespace echolink {

Automation::Automation(QObject *parent)
    : QObject(parent)
{
}

Automation::~Automation() = default;

} // namespace echolink
