#pragma once

#include "ini/IniFile.h"
#include "objects/ControlPanelData.h"
#include "objects/ObjectRows.h"

#include <QByteArray>
#include <QList>

class QTreeWidget;
class QTreeWidgetItem;

namespace tirvon::station {

struct SoundRequests;

// The rows of the object list as the object view changes them. Rows are found
// by their object name, exactly; two objects of one name share every change.
class ObjectRowsView {
public:
    virtual ~ObjectRowsView() = default;
    virtual void clearRows() = 0;
    virtual void addRow(const QByteArray& object, StateIcon icon) = 0;
    virtual int rowCount() const = 0;
    virtual void setRowText(const QByteArray& object, const QString& cell) = 0;
    virtual void setRowIcon(const QByteArray& object, StateIcon icon) = 0;
};

// The object rows in a tree widget: the name in column 0 (its bytes under a
// role of their own), the last event in column 1.
class TreeObjectRows : public ObjectRowsView {
public:
    explicit TreeObjectRows(QTreeWidget& list) : list_(list) {}

    void clearRows() override;
    void addRow(const QByteArray& object, StateIcon icon) override;
    int rowCount() const override;
    void setRowText(const QByteArray& object, const QString& cell) override;
    void setRowIcon(const QByteArray& object, StateIcon icon) override;

    // The object name of a row.
    static QByteArray objectName(const QTreeWidgetItem& row);

private:
    QList<QTreeWidgetItem*> rowsOf(const QByteArray& object) const;

    QTreeWidget& list_;
};

// The control panel as the object view sees it.
class ControlPanelView {
public:
    virtual ~ControlPanelView() = default;
    virtual QString armingText() const = 0;
    virtual void fill(const ControlPanelData& data) = 0;
};

// The object list and its rows: filled once at start, then changed by the view
// rules of every event.
class ObjectView {
public:
    ObjectView(ObjectRowsView& rows, ControlPanelView& panel, SoundRequests& sounds,
               ini::IniFile& file);

    void fill();

    // Rule 1: the last-event text of every row of the object.
    void setRowText(const QByteArray& object, const QByteArray& logText, const QByteArray& date,
                    const QByteArray& sendTime);
    // Rules 2 to 5: alarm icon, stored state, arming icons and their sounds.
    void applyState(const QByteArray& object, const QByteArray& logText, const QByteArray& stateKey,
                    const QByteArray& value);
    // Rule 6: the object loaded into the control panel.
    void f2update(const QByteArray& object);

    // The object name of a row.
    static QByteArray objectName(const QTreeWidgetItem& row) {
        return TreeObjectRows::objectName(row);
    }

private:
    ObjectRowsView& rows_;
    ControlPanelView& panel_;
    SoundRequests& sounds_;
    ini::IniFile& file_;
};

} // namespace tirvon::station
