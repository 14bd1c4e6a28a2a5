#include "app_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QRegularExpression>

namespace {

constexpr int kStartTimeoutMs = 15000;
constexpr int kStopTimeoutMs = 5000;

}  // namespace

AppServer::AppServer(const QString& storeDirectory, const QStringList& extraArguments) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    QStringList arguments{QStringLiteral("serve"), QStringLiteral("--listen"),
                          QStringLiteral("127.0.0.1:0"), QStringLiteral("--db"),
                          storeDirectory + QStringLiteral("/draws.sqlite")};
    arguments += extraArguments;
    process_.start(QStringLiteral(SSC_SERVER_PATH), arguments);
    if (!process_.waitForStarted(kStartTimeoutMs)) return;

    static const QRegularExpression listening(
        QStringLiteral("listening on (http://[0-9.]+:[0-9]+)"));
    QByteArray seen;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < kStartTimeoutMs && process_.state() == QProcess::Running) {
        if (!process_.canReadLine() && !process_.waitForReadyRead(200)) continue;
        while (process_.canReadLine()) {
            const QString line = QString::fromUtf8(process_.readLine());
            const auto match = listening.match(line);
            if (match.hasMatch()) {
                baseUrl_ = match.captured(1);
                return;
            }
        }
    }
}

AppServer::~AppServer() { stop(); }

void AppServer::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(kStopTimeoutMs)) {
        process_.kill();
        process_.waitForFinished(kStopTimeoutMs);
    }
}

std::string deadEndpoint() {
    // Bind a free port and let it go again: nothing listens there afterwards.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 9;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) ::close(fd);
    return "http://127.0.0.1:" + std::to_string(port) + "/appinit.php";
}
