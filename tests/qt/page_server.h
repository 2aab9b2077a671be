#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

namespace vb::qtview {

// Serves fixed pages on 127.0.0.1, one request per connection, and counts the requests
// of each path.
class PageServer {
  public:
    PageServer() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray path = socket->readAll().split(' ').value(1);
                    ++requests_[path];
                    const QByteArray body = pages_.value(path, "<title>missing</title>");
                    socket->write(
                        "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                        "Content-Length: " +
                        QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
            }
        });
    }
    void Serve(const QByteArray& path, const QByteArray& body) { pages_[path] = body; }
    int Requests(const QByteArray& path) const { return requests_.value(path, 0); }
    int port() const { return server_.serverPort(); }
    // The same server under another origin (another host name, same address).
    QString OtherOrigin(const QString& path) const {
        return QString("http://localhost:%1%2").arg(port()).arg(path);
    }
    QString Url(const QString& path) const {
        return QString("http://127.0.0.1:%1%2").arg(port()).arg(path);
    }
    QString Host() const { return QString("127.0.0.1:%1").arg(port()); }

  private:
    QTcpServer server_;
    QMap<QByteArray, QByteArray> pages_;
    QMap<QByteArray, int> requests_;
};

}  // namespace vb::qtview
