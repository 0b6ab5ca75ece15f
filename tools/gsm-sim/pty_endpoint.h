#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace gsmsim {

// The modem's side of a pseudo-terminal. The station opens the slave (through a symbolic link)
// as its serial port; we read and write the master. A slave descriptor of our own stays open so
// the master never sees a hang-up while the station closes and re-opens the port.
class PtyEndpoint : public QObject {
    Q_OBJECT
public:
    explicit PtyEndpoint(QObject* parent = nullptr);
    ~PtyEndpoint() override;

    // Opens the pseudo-terminal in raw mode, 19200 8N1, and points linkPath (when given) at its
    // slave, replacing an older symbolic link there. After close() it opens a new one.
    bool open(const QString& linkPath, QString* error);
    // The device is pulled out: the master closes, so a station holding the port open gets a
    // hang-up, and our link goes. Queued bytes are lost. The link path is kept for open().
    void close();
    bool isOpen() const { return m_master >= 0; }
    QString linkPath() const { return m_linkPath; }
    QString slavePath() const { return m_slavePath; }
    // The path the station should open: the link, or the slave itself without one.
    QString portPath() const { return m_linkPath.isEmpty() ? m_slavePath : m_linkPath; }

    // Queues bytes for the station; what the pseudo-terminal cannot take now goes out later.
    void send(const QByteArray& bytes);
    // Forgets the bytes the pseudo-terminal has not taken yet.
    void dropPending() { m_pending.clear(); }

signals:
    void received(const QByteArray& bytes);

private:
    void readMaster();
    void writePending();
    bool linkSlave(QString* error);
    void removeLink();

    int m_master = -1;
    int m_slaveKeeper = -1;
    QString m_slavePath;
    QString m_linkPath;
    QByteArray m_pending;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
};

} // namespace gsmsim
