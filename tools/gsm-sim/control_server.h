#pragma once

#include <QByteArray>
#include <QList>
#include <QLocalServer>
#include <QObject>
#include <functional>

class QLocalSocket;
class QSocketNotifier;

namespace gsmsim {

// Carries control lines to a handler and its reply lines back, from standard input (replies on
// standard output) and from every connection to a UNIX socket. It knows nothing of the commands.
class ControlServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<QList<QByteArray>(const QByteArray& line)>;

    explicit ControlServer(Handler handler, QObject* parent = nullptr);

    bool listen(const QString& path, QString* error);
    // End of input just stops reading: a simulator started with stdin closed keeps running.
    void readStandardInput();

private:
    void acceptConnections();
    void serve(QLocalSocket* socket);
    void readStandardInputChunk();
    QByteArray answer(const QByteArray& line) const;

    Handler m_handler;
    QLocalServer m_server;
    QSocketNotifier* m_stdinNotifier = nullptr;
    QByteArray m_stdinBuffer;
};

} // namespace gsmsim
