#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The challenge-response log-in to an addressing (directory) server over TCP.
// One request per connection; the server answers and closes:
//
//   -LOGIN LF  "name: value" LF ...  LF      ->  LOGIN-RESULT LF result: ... LF
//
// The first request carries no password and is answered with a challenge;
// the second carries hex(MD5(UPPERCASE(password) + challenge)).
namespace echolink::native::directory {

enum class Status { Online, Busy, OffV };

struct LoginRequest
{
    QByteArray callsign;
    Status status = Status::Online;
    quint16 rtpPort = 5198;
    quint16 rtcpPort = 5199;
    QByteArray clientVersion;
    QByteArray location;   // ASCII, cut to 30 characters
    QByteArray localTime;  // "HH:MM"
    QByteArray swTag;
    QByteArray hashedPassword; // empty in the first request
};

QByteArray statusWord(Status status);
QByteArray buildLoginRequest(const LoginRequest &request);
// Lower-case hex of MD5(UPPERCASE(password) + challenge).
QByteArray hashPassword(const QByteArray &password, const QByteArray &challenge);

enum class Result { Challenge, Success, BadPassword, Barred, NotValidated, BadData, Unknown };

struct LoginReply
{
    Result result = Result::Unknown;
    QByteArray resultWord; // as received
    QByteArray challenge;  // with Result::Challenge
};

// Parses a complete answer (everything up to the server's close). Returns
// nothing and names the fault in *error when it is not a log-in result.
std::optional<LoginReply> parseLoginReply(QByteArrayView answer, QString *error = nullptr);

// What the user reads about a failed log-in.
QString describe(Result result);

} // namespace echolink::native::directory
