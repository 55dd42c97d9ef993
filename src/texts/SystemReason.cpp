#include <texts/SystemReason.h>

#include <QAbstractSocket>
#include <QCoreApplication>
#include <QFileDevice>

#include <cerrno>

namespace texts {

namespace {

struct Reason
{
    int code;                 // errno, or 0
    const char *socketWords;  // how Qt's sockets word it (their catalogue's key), or nullptr
    const char16_t *text;
};

// The reasons our messages put in Portuguese.
constexpr Reason kReasons[] = {
    {EACCES, nullptr, u"Permissão negada"},
    {EPERM, nullptr, u"Operação não permitida"},
    {ENOENT, nullptr, u"Arquivo ou pasta inexistente"},
    {EISDIR, nullptr, u"É uma pasta"},
    {ENOSPC, nullptr, u"Disco cheio"},
    {EDQUOT, nullptr, u"Cota de disco excedida"},
    {EROFS, nullptr, u"Sistema de arquivos somente leitura"},
    {EADDRINUSE, nullptr, u"Endereço já em uso"},
    {EADDRNOTAVAIL, nullptr, u"Endereço indisponível nesta máquina"},
    {ENETUNREACH, "Network unreachable", u"Rede inacessível"},
    {EHOSTUNREACH, "Host unreachable", u"Máquina inacessível"},
    {ECONNREFUSED, nullptr, u"Conexão recusada"},
    // A failed send on a datagram socket, whatever the cause; Qt's own
    // catalogue has no words for it.
    {0, "Unable to send a datagram", u"Não foi possível enviar o datagrama"},
};

const char16_t *tableText(int code)
{
    for (const Reason &r : kReasons) {
        if (r.code != 0 && r.code == code)
            return r.text;
    }
    return nullptr;
}

} // namespace

QString systemReason(int errorCode)
{
    if (const char16_t *text = tableText(errorCode))
        return QString::fromUtf16(text);
    return qt_error_string(errorCode);
}

QString fileReason(const QFileDevice &file)
{
    // Qt words a failed file operation as qt_error_string(errno); the error
    // code itself is gone by the time the caller asks, so the words are
    // matched back to it.
    const QString said = file.errorString();
    for (const Reason &r : kReasons) {
        if (r.code != 0 && said == qt_error_string(r.code))
            return QString::fromUtf16(r.text);
    }
    return said;
}

QString socketReason(const QAbstractSocket &socket)
{
    switch (socket.error()) {
    case QAbstractSocket::AddressInUseError:
        return systemReason(EADDRINUSE);
    case QAbstractSocket::SocketAccessError:
        return systemReason(EACCES);
    case QAbstractSocket::SocketAddressNotAvailableError:
        return systemReason(EADDRNOTAVAIL);
    case QAbstractSocket::ConnectionRefusedError:
        return systemReason(ECONNREFUSED);
    default:
        break;
    }
    // Other causes share an error kind; Qt's words tell them apart (they
    // come through the same catalogue whether it is installed or not).
    const QString said = socket.errorString();
    for (const Reason &r : kReasons) {
        if (r.socketWords && said == QCoreApplication::translate("QNativeSocketEngine", r.socketWords))
            return QString::fromUtf16(r.text);
    }
    return said;
}

} // namespace texts
