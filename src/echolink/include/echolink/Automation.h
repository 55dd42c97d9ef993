#pragma once

#include <echolink/AutomationError.h>

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace echolink {

// Booleans cross the automation boundary as 16-bit values: True is -1,
// False is 0, and any non-zero value reads as true. The Qt API below uses
// bool; back ends that talk to such a boundary convert with these.
using VariantBool = qint16;
inline constexpr VariantBool VariantTrue = -1;
inline constexpr VariantBool VariantFalse = 0;
constexpr VariantBool toVariantBool(bool value) noexcept { return value ? VariantTrue : VariantFalse; }
constexpr bool fromVariantBool(VariantBool value) noexcept { return value != 0; }

// What the station tells about itself.
struct StationInformation
{
    QString Callsign;
};

// The automation link to an EchoLink station: the operations the control
// window uses and the two events it subscribes to.
//
// Contract for every back end:
//  - all calls are made on the UI thread; every failure throws AutomationError;
//  - ChatTextReceived and StationTextReceived are emitted on the UI thread and
//    never synchronously from inside a call: a reply to SendChatText arrives
//    through the event loop, one event per line;
//  - ChatTextReceived carries one chat line without its line end;
//    StationTextReceived carries the whole station text, lines separated by CR.
class Automation : public QObject
{
    Q_OBJECT

public:
    explicit Automation(QObject *parent = nullptr);
    ~Automation() override;

    // Sends one line of conference chat (a dot command or free text).
    virtual void SendChatText(const QString &text) = 0;
    // Write-only: true keys the transmitter, false releases it.
    virtual void PTT(bool keyed) = 0;
    // Restarts the station's link to the network.
    virtual void Reinitialize() = 0;
    // True while audio is being received.
    virtual bool IsReceiving() = 0;
    virtual StationInformation StationInfo() = 0;

signals:
    void ChatTextReceived(const QString &stexto);
    void StationTextReceived(const QString &sText);
};

} // namespace echolink
