#pragma once

#include "ui_TForm2.h"

#include "objects/ObjectView.h"
#include "panel/PanelCommands.h"

#include <QTimer>
#include <QWidget>

class QAbstractButton;

namespace tirvon::station {

// The control panel of one object: its description, arming and signal states,
// test points, and the command buttons (told apart by their tag).
class TForm2 : public QWidget, public ControlPanelView, public ControlPanelFields {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    Ui::TForm2& ui() { return ui_; }

    void setObjectWord(const QString& word);

    // ControlPanelView (filled by f2update)
    QString armingText() const override;
    void fill(const ControlPanelData& data) override;

    // The command button with this tag; nullptr for an unknown tag.
    QAbstractButton* buttonByTag(int tag) const;

    // ControlPanelFields (read back by the command buttons)
    QByteArray shownPhone() const override;
    QByteArray shownName() const override;
    std::array<commands::TestPointEntry, 4> testPointEntries() const override;
    bool testPointsInactive() const override;
    bool alarmWithoutTest() const override;
    QByteArray testTolerance() const override;

    // The clock label: date and time.
    void Timer1Timer();
    QTimer& timer1() { return timer1_; }

signals:
    // DISARMClick: a command button, or a programmatic click of it.
    void commandPressed(int tag);
    // Label4Click: the link to the sensor information.
    void sensorInfoRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    static QString maskedText(const QLineEdit& field);

    Ui::TForm2 ui_;
    QTimer timer1_;
    bool placed_ = false;
};

} // namespace tirvon::station
