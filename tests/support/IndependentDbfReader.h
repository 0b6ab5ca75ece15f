#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// Reads a dBASE table with dbfread under python3, a reader independent of the
// programs (read_dbf.py beside this file), as JSON: language driver, fields and
// every record's values.
class IndependentDbfReader {
public:
    explicit IndependentDbfReader(QString script) : script_(std::move(script)) {
        // The first python3 on the path may be one without the reader module.
        for (const QString& candidate : {QStandardPaths::findExecutable(QStringLiteral("python3")),
                                         QStringLiteral("/usr/bin/python3")}) {
            if (candidate.isEmpty())
                continue;
            QProcess probe;
            probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import dbfread")});
            if (probe.waitForFinished(60000) && probe.exitStatus() == QProcess::NormalExit &&
                probe.exitCode() == 0) {
                python_ = candidate;
                return;
            }
        }
    }

    bool available() const { return !python_.isEmpty(); }

    // Empty when the reader fails.
    QJsonObject read(const QString& path) const {
        QProcess reader;
        reader.start(python_, {script_, path});
        if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
            qWarning("%s", reader.readAllStandardError().constData());
            return {};
        }
        return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    }

private:
    QString script_;
    QString python_;
};
