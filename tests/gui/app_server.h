#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The real ssc-server, started on a free loopback port with its own draw store and stopped
// when this object goes. Every wait is bounded.
class AppServer {
  public:
    // `extraArguments` follow "serve --listen 127.0.0.1:0 --db FILE".
    explicit AppServer(const QString& storeDirectory, const QStringList& extraArguments = {});
    ~AppServer();
    AppServer(const AppServer&) = delete;
    AppServer& operator=(const AppServer&) = delete;

    // False when the server did not report its address in time.
    bool started() const { return !baseUrl_.isEmpty(); }
    // "http://127.0.0.1:PORT"
    QString baseUrl() const { return baseUrl_; }
    std::string initEndpoint() const {
        return (baseUrl_ + QStringLiteral("/appinit.php")).toStdString();
    }
    void stop();

  private:
    QProcess process_;
    QString baseUrl_;
};

// An http address on a loopback port where nothing listens (connections are refused).
std::string deadEndpoint();
