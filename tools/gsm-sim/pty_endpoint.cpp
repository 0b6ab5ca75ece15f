#include "pty_endpoint.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace gsmsim {

namespace {

// Output for a station that does not read (port closed) is dropped beyond this, as a modem's
// output into an unplugged cable would be.
constexpr qsizetype kMaxPending = 64 * 1024;

QString systemError(const QString& what) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

bool makeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    cfsetispeed(&settings, B19200);
    cfsetospeed(&settings, B19200);
    settings.c_cflag |= CLOCAL | CREAD;
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

PtyEndpoint::PtyEndpoint(QObject* parent) : QObject(parent) {}

PtyEndpoint::~PtyEndpoint() {
    close();
}

void PtyEndpoint::close() {
    removeLink();
    // The notifiers may be the ones whose signal is running; they go once it has returned.
    for (QSocketNotifier* notifier : {m_readNotifier, m_writeNotifier}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_readNotifier = nullptr;
    m_writeNotifier = nullptr;
    if (m_slaveKeeper >= 0)
        ::close(m_slaveKeeper);
    if (m_master >= 0)
        ::close(m_master);
    m_slaveKeeper = -1;
    m_master = -1;
    m_pending.clear();
}

bool PtyEndpoint::open(const QString& linkPath, QString* error) {
    close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = systemError(QStringLiteral("cannot create a pseudo-terminal"));
        return false;
    }
    char name[256] = {};
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        *error = systemError(QStringLiteral("cannot name the pseudo-terminal"));
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slaveKeeper = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slaveKeeper < 0 || !makeRaw(m_slaveKeeper) || !makeRaw(m_master)) {
        *error = systemError(QStringLiteral("cannot set up ") + m_slavePath);
        return false;
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyEndpoint::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyEndpoint::writePending);

    m_linkPath = linkPath;
    return m_linkPath.isEmpty() || linkSlave(error);
}

void PtyEndpoint::send(const QByteArray& bytes) {
    if (m_master < 0)
        return; // nobody at the other end of a pulled-out device
    m_pending += bytes;
    if (m_pending.size() > kMaxPending) {
        std::fprintf(stderr, "gsm-sim: the station does not read; %lld bytes dropped\n",
                     static_cast<long long>(m_pending.size()));
        m_pending.clear();
    }
    writePending();
}

void PtyEndpoint::writePending() {
    if (m_master < 0)
        return;
    while (!m_pending.isEmpty()) {
        const ssize_t written = ::write(m_master, m_pending.constData(), m_pending.size());
        if (written > 0) {
            m_pending.remove(0, written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            if (written < 0 && errno != EAGAIN)
                m_pending.clear(); // nothing sensible left to do with it
            break;
        }
    }
    m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

void PtyEndpoint::readMaster() {
    char buffer[4096];
    while (m_master >= 0) { // a handler of received() may have pulled the device out
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count > 0) {
            emit received(QByteArray(buffer, count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno == EAGAIN)
            return;
        // EIO: no slave open at the moment. Our own slave descriptor should prevent it; if it
        // happens anyway, look again a little later instead of spinning.
        m_readNotifier->setEnabled(false);
        QTimer::singleShot(100, m_readNotifier,
                           [notifier = m_readNotifier] { notifier->setEnabled(true); });
        return;
    }
}

bool PtyEndpoint::linkSlave(QString* error) {
    const QByteArray link = QFile::encodeName(m_linkPath);
    struct stat existing {};
    if (::lstat(link.constData(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        *error = m_linkPath + QStringLiteral(" exists and is not a symbolic link");
        m_linkPath.clear();
        return false;
    }
    // Link under a temporary name and rename, so the port path never points nowhere.
    const QByteArray temporary = link + ".gsm-sim." + QByteArray::number(::getpid());
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(m_slavePath).constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), link.constData()) != 0) {
        *error = systemError(QStringLiteral("cannot link ") + m_linkPath);
        ::unlink(temporary.constData());
        m_linkPath.clear();
        return false;
    }
    return true;
}

void PtyEndpoint::removeLink() {
    if (m_linkPath.isEmpty())
        return;
    // Only our own link: another simulator may have taken the path over since.
    if (QFile::symLinkTarget(m_linkPath) == m_slavePath)
        QFile::remove(m_linkPath);
}

} // namespace gsmsim
