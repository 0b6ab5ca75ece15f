#include "objects/ObjectRows.h"

#include "config/ObjectDirectory.h"
#include "config/Schema.h"
#include "text/Cp1251.h"

#include <QPainter>
#include <QPixmap>
#include <array>

namespace tirvon::station {

StateIcon iconForArmingState(const QByteArray& armingState) {
    static const QByteArray armed = text::cp("На охране");
    static const QByteArray alarm = text::cp("Тревога");
    if (armingState == armed)
        return StateIcon::Armed;
    if (armingState == alarm)
        return StateIcon::Alarm;
    return StateIcon::Disarmed;
}

namespace {

QIcon drawStateIcon(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return QIcon(pixmap);
}

} // namespace

QIcon stateIcon(StateIcon icon) {
    // Drawn once: every new icon would bring new entries into Qt's pixmap cache
    // at each event of an object, a slow growth over the station's months. They
    // are never destroyed, as pixmaps must not outlive the application object.
    static const auto* icons = new std::array<QIcon, 3>{drawStateIcon(QColor(255, 191, 0)),
                                                        drawStateIcon(QColor(220, 0, 0)),
                                                        drawStateIcon(QColor(0, 170, 0))};
    return (*icons)[std::size_t(icon)];
}

QList<ObjectRow> loadObjectRows(const ini::IniFile& file) {
    using namespace tirvon::config;
    const auto doc = file.snapshot();
    QList<ObjectRow> rows;
    for (const int n : ObjectDirectory(file).objectNumbers()) {
        const QByteArray section = objectSection(n);
        rows.append({n, doc->value(section, key::Name).value_or("None"),
                     iconForArmingState(doc->value(section, key::lArm).value_or("None"))});
    }
    return rows;
}

} // namespace tirvon::station
