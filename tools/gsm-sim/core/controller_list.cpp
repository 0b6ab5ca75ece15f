#include "controller_list.h"

#include <QRegularExpression>
#include <QStringEncoder>

namespace gsmsim {

std::variant<QList<ControllerConfig>, ControllerListError>
parseControllerList(const QByteArray& text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    QList<ControllerConfig> controllers;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList fields = line.split(blanks);
        if (fields.size() < 2)
            return ControllerListError{lineNumber, QStringLiteral("want: phone password [name]")};
        ControllerConfig config;
        config.phone = fields[0].toLatin1();
        if (fields[1] != QLatin1String("\"\"")) {
            QStringEncoder toCodePage("windows-1251");
            config.password = toCodePage.encode(fields[1]); // as the station sends it
        }
        config.name = fields.mid(2).join(' ');
        if (!digits.match(fields[0]).hasMatch())
            return ControllerListError{lineNumber,
                                       QStringLiteral("the phone is digits only, without \"+\": ") +
                                           fields[0]};
        for (const ControllerConfig& earlier : controllers) {
            if (earlier.phone == config.phone)
                return ControllerListError{lineNumber, QStringLiteral("phone ") + fields[0] +
                                                           QStringLiteral(" given twice")};
        }
        controllers.append(config);
    }
    return controllers;
}

} // namespace gsmsim
