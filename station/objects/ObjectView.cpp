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

QByteArray TreeObjectRows::objectName(const QTreeWidgetItem& row) {
    return row.data(0, ObjectNameRole).toByteArray();
}

void TreeObjectRows::clearRows() {
    list_.clear();
}

void TreeObjectRows::addRow(const QByteArray& object, StateIcon icon) {
    auto* item = new QTreeWidgetItem(&list_, {text::toUnicode(object), QString()});
    item->setData(0, ObjectNameRole, object);
    item->setIcon(0, stateIcon(icon));
    item->setData(0, StateIconRole, int(icon));
}

int TreeObjectRows::rowCount() const {
    return list_.topLevelItemCount();
}

QList<QTreeWidgetItem*> TreeObjectRows::rowsOf(const QByteArray& object) const {
    QList<QTreeWidgetItem*> rows;
    for (int i = 0; i < list_.topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list_.topLevelItem(i);
        if (objectName(*row) == object)
            rows.append(row);
    }
    return rows;
}

void TreeObjectRows::setRowText(const QByteArray& object, const QString& cell) {
    for (QTreeWidgetItem* row : rowsOf(object))
        row->setText(1, cell);
}

void TreeObjectRows::setRowIcon(const QByteArray& object, StateIcon icon) {
    for (QTreeWidgetItem* row : rowsOf(object)) {
        row->setIcon(0, stateIcon(icon));
        row->setData(0, StateIconRole, int(icon));
    }
}

ObjectView::ObjectView(ObjectRowsView& rows, ControlPanelView& panel, SoundRequests& sounds,
                       ini::IniFile& file)
    : rows_(rows), panel_(panel), sounds_(sounds), file_(file) {}

void ObjectView::fill() {
    rows_.clearRows();
    for (const ObjectRow& row : loadObjectRows(file_))
        rows_.addRow(row.name, row.icon);
}

void ObjectView::setRowText(const QByteArray& object, const QByteArray& logText,
                            const QByteArray& date, const QByteArray& sendTime) {
    // The row shows the first line of the text, as a line break ends the cell.
    rows_.setRowText(object, text::toUnicode(firstLine(logText + "/" + date + "/" + sendTime)));
}

void ObjectView::applyState(const QByteArray& object, const QByteArray& logText,
                            const QByteArray& stateKey, const QByteArray& value) {
    static const QByteArray alarm = text::cp("Тревога");
    static const QByteArray armed = text::cp("На охране");
    static const QByteArray disarmed = text::cp("Снят с охраны");

    if (logText.contains(alarm))
        rows_.setRowIcon(object, StateIcon::Alarm);
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
    const bool listHasRows = rows_.rowCount() > 0;
    if (stateKey == config::key::lArm && value == armed) {
        rows_.setRowIcon(object, StateIcon::Armed);
        if (panelArming == disarmed && listHasRows)
            sounds_.armed = true;
    }
    if (value == disarmed) {
        rows_.setRowIcon(object, StateIcon::Disarmed);
        if (panelArming == armed && listHasRows)
            sounds_.disarmed = true;
    }
}

void ObjectView::f2update(const QByteArray& object) {
    panel_.fill(loadControlPanel(file_, object));
}

} // namespace tirvon::station
