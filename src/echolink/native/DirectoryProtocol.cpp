#include <echolink/native/DirectoryProtocol.h>

#include <QCryptographicHash>
#include <QList>

namespace echolink::native::directory {

namespace {

constexpr qsizetype kMaxLocation = 30;
constexpr qsizetype kMaxChallenge = 256;

// Keeps a header value on one line and inside printable ASCII.
QByteArray headerValue(QByteArrayView value)
{
    QByteArray out;
    out.reserve(value.size());
    for (const char c : value)
        out.append((c >= 0x20 && c < 0x7F) ? c : '?');
    return out;
}

} // namespace

QByteArray statusWord(Status status)
{
    switch (status) {
    case Status::Online: return "ONLINE";
    case Status::Busy: return "BUSY";
    case Status::OffV: return "OFF-V";
    }
    return "ONLINE";
}

QByteArray buildLoginRequest(const LoginRequest &r)
{
    QByteArray out("-LOGIN\n");
    auto line = [&out](const char *name, QByteArrayView value) {
        out.append(name);
        out.append(": ");
        out.append(headerValue(value));
        out.append('\n');
    };
    line("callsign", r.callsign);
    line("status", statusWord(r.status));
    line("rtp-port", QByteArray::number(r.rtpPort));
    line("rtcp-port", QByteArray::number(r.rtcpPort));
    line("client-version", r.clientVersion);
    line("location", r.location.left(kMaxLocation));
    line("local-time", r.localTime);
    line("sw-tag", r.swTag);
    if (!r.hashedPassword.isEmpty())
        line("hashed-password", r.hashedPassword);
    out.append('\n');
    return out;
}

QByteArray hashPassword(const QByteArray &password, const QByteArray &challenge)
{
    return QCryptographicHash::hash(password.toUpper() + challenge, QCryptographicHash::Md5).toHex();
}

std::optional<LoginReply> parseLoginReply(QByteArrayView answer, QString *error)
{
    auto failed = [error](const QString &message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    while (start < answer.size()) {
        qsizetype lf = answer.indexOf('\n', start);
        if (lf < 0)
            lf = answer.size();
        QByteArrayView line = answer.sliced(start, lf - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        start = lf + 1;
    }
    if (lines.isEmpty() || lines.first() != "LOGIN-RESULT")
        return failed(QStringLiteral("line 1: expected LOGIN-RESULT"));

    LoginReply reply;
    bool haveResult = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            return failed(QStringLiteral("line %1: no \"name: value\"").arg(i + 1));
        const QByteArray name = line.first(colon).trimmed().toByteArray().toLower();
        const QByteArray value = line.sliced(colon + 1).trimmed().toByteArray();
        if (name == "result") {
            haveResult = true;
            reply.resultWord = value;
            if (value == "challenge")
                reply.result = Result::Challenge;
            else if (value == "success")
                reply.result = Result::Success;
            else if (value == "bad-password")
                reply.result = Result::BadPassword;
            else if (value == "barred")
                reply.result = Result::Barred;
            else if (value == "not-validated")
                reply.result = Result::NotValidated;
            else if (value == "bad-data")
                reply.result = Result::BadData;
            else
                reply.result = Result::Unknown;
        } else if (name == "challenge") {
            if (value.size() > kMaxChallenge)
                return failed(QStringLiteral("line %1: challenge of %2 bytes").arg(i + 1).arg(value.size()));
            reply.challenge = value;
        }
    }
    if (!haveResult)
        return failed(QStringLiteral("no result line"));
    if (reply.result == Result::Challenge && reply.challenge.isEmpty())
        return failed(QStringLiteral("challenge result without a challenge"));
    return reply;
}

QString describe(Result result)
{
    switch (result) {
    case Result::Challenge: return QStringLiteral("o diretório pediu a senha");
    case Result::Success: return QStringLiteral("sessão iniciada no diretório");
    case Result::BadPassword: return QStringLiteral("o diretório recusou a senha");
    case Result::Barred: return QStringLiteral("o diretório barrou este indicativo");
    case Result::NotValidated: return QStringLiteral("o indicativo ainda não foi validado no diretório");
    case Result::BadData: return QStringLiteral("o diretório rejeitou os dados do pedido");
    case Result::Unknown: return QStringLiteral("resposta desconhecida do diretório");
    }
    return {};
}

} // namespace echolink::native::directory
