#include "control_server.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace gsmsim {

ControlServer::ControlServer(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)) {
    connect(&m_server, &QLocalServer::newConnection, this, &ControlServer::acceptConnections);
}

bool ControlServer::listen(const QString& path, QString* error) {
    // QLocalServer takes a name without a slash as one in the temporary folder: make it a path.
    const QString socketPath = QFileInfo(path).absoluteFilePath();
    QLocalServer::removeServer(socketPath); // a socket file left by an earlier run
    if (m_server.listen(socketPath))
        return true;
    *error = QStringLiteral("cannot listen on ") + socketPath + QStringLiteral(": ") +
             m_server.errorString();
    return false;
}

void ControlServer::readStandardInput() {
    m_stdinNotifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_stdinNotifier, &QSocketNotifier::activated, this,
            &ControlServer::readStandardInputChunk);
}

void ControlServer::acceptConnections() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void ControlServer::serve(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        socket->write(answer(socket->readLine()));
        socket->flush();
    }
}

void ControlServer::readStandardInputChunk() {
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (count <= 0) {
        m_stdinNotifier->setEnabled(false);
        return;
    }
    m_stdinBuffer.append(buffer, count);
    qsizetype end;
    while ((end = m_stdinBuffer.indexOf('\n')) >= 0) {
        const QByteArray reply = answer(m_stdinBuffer.left(end + 1));
        m_stdinBuffer.remove(0, end + 1);
        std::fwrite(reply.constData(), 1, reply.size(), stdout);
        std::fflush(stdout);
    }
}

QByteArray ControlServer::answer(const QByteArray& line) const {
    QByteArray reply;
    for (const QByteArray& replyLine : m_handler(line))
        reply += replyLine + '\n';
    return reply;
}

} // namespace gsmsim
