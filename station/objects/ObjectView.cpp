#include "objects/ObjectView.h"

#include "config/Schema.h"
#include "objects/ObjectRegistry.h"
#include "sound/SoundRequests.h"
#include "text/Cp1251.h"

#include <QTreeWidget>

namespace tirvon::station {

namespace {
constexpr int ObjectNameRole = Qt::UserRole + 2;

QByteArray firstLine(const QByteArray& text) {
    qsizetype end = 0;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end;
    return text.left(end);
}
} // namespace

ObjectView::ObjectView(QTreeWidget& list, ControlPanelView& panel, SoundRequests& sounds,
                       ini::IniFile& file)
    : list_(list), panel_(panel), sounds_(sounds), file_(file) {}

QByteArray ObjectView::objectName(const QTreeWidgetItem& row) {
    return row.data(0, ObjectNameRole).toByteArray();
}

void ObjectView::fill() {
    list_.clear();
    for (const ObjectRow& row : loadObjectRows(file_)) {
        auto* item = new QTreeWidgetItem(&list_, {text::toUnicode(row.name), QString()});
        item->setData(0, ObjectNameRole, row.name);
        item->setIcon(0, stateIcon(row.icon));
        item->setData(0, StateIconRole, int(row.icon));
    }
}

QList<QTreeWidgetItem*> ObjectView::rowsOf(const QByteArray& object) const {
    QList<QTreeWidgetItem*> rows;
    for (int i = 0; i < list_.topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list_.topLevelItem(i);
        if (objectName(*row) == object)
            rows.append(row);
    }
    return rows;
}

void ObjectView::setIcon(const QByteArray& object, StateIcon icon) {
    for (QTreeWidgetItem* row : rowsOf(object)) {
        row->setIcon(0, stateIcon(icon));
        row->setData(0, StateIconRole, int(icon));
    }
}

void ObjectView::setRowText(const QByteArray& object, const QByteArray& logText,
                            const QByteArray& date, const QByteArray& sendTime) {
    // The row shows the first line of the text, as a line break ends the cell.
    const QString cell = text::toUnicode(firstLine(logText + "/" + date + "/" + sendTime));
    for (QTreeWidgetItem* row : rowsOf(object))
        row->setText(1, cell);
}

void ObjectView::applyState(const QByteArray& object, const QByteArray& logText,
                            const QByteArray& stateKey, const QByteArray& value) {
    static const QByteArray alarm = text::cp("Тревога");
    static const QByteArray armed = text::cp("На охране");
    static const QByteArray disarmed = text::cp("Снят с охраны");

    if (logText.contains(alarm))
        setIcon(object, StateIcon::Alarm);
    if (!stateKey.isEmpty()) {
        // A state of no known object is kept nowhere, rather than in a section
        // "none" that nothing reads.
        const QByteArray section = ObjectRegistry(file_).search_sect(object);
        if (section != ObjectRegistry::NoSection)
            file_.writeString(section, stateKey, value);
    }
    // The panel still shows the previous event's object: its arming state tells
    // whether this event changes it.
    const QByteArray panelArming = text::fromUnicode(panel_.armingText());
    const bool listHasRows = list_.topLevelItemCount() > 0;
    if (stateKey == config::key::lArm && value == armed) {
        setIcon(object, StateIcon::Armed);
        if (panelArming == disarmed && listHasRows)
            sounds_.armed = true;
    }
    if (value == disarmed) {
        setIcon(object, StateIcon::Disarmed);
        if (panelArming == armed && listHasRows)
            sounds_.disarmed = true;
    }
}

void ObjectView::f2update(const QByteArray& object) {
    panel_.fill(loadControlPanel(file_, object));
}

} // namespace tirvon::station
