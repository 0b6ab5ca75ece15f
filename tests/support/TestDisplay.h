#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// A display of its own for the real program, and the keys an operator types.
struct TestDisplay {
    QProcess server;
    QString name;

    bool start() {
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!server.waitForReadyRead(10000))
            return false;
        name = QLatin1Char(':') + QString::fromLatin1(server.readLine().trimmed());
        return name.size() > 1;
    }
    // Runs xdotool with the arguments; its output, or nothing after the time-out.
    QByteArray xdotool(const QStringList& arguments, int timeoutMs = 15000) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), name);
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral("xdotool"), arguments);
        if (!tool.waitForFinished(timeoutMs)) {
            tool.kill();
            tool.waitForFinished();
            return {};
        }
        return tool.readAllStandardOutput().trimmed();
    }
    // The real station on this display, its configuration folder (the alias
    // store) given.
    void startStation(QProcess& station, const QString& program, const QString& configHome) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), name);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
        station.setProcessEnvironment(env);
        station.start(program, {});
    }
    // The operator picks the first account from the list, types the password
    // and presses Enter; false when the login window never appeared.
    bool logIn(const QString& password) {
        const QByteArray login =
            xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"),
                     QStringLiteral("Авторизация администратора")});
        if (login.isEmpty())
            return false;
        const QString window = QString::fromLatin1(login.split('\n').first());
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        xdotool(
            {QStringLiteral("key"), QStringLiteral("--window"), window, QStringLiteral("Down")});
        xdotool({QStringLiteral("type"), QStringLiteral("--window"), window, password});
        xdotool(
            {QStringLiteral("key"), QStringLiteral("--window"), window, QStringLiteral("Return")});
        return true;
    }
    ~TestDisplay() {
        server.terminate();
        server.waitForFinished(5000);
    }
};
