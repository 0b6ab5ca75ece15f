#include "windows/TForm2.h"

#include "text/Cp1251.h"
#include "text/DateStamps.h"
#include "widgets/Placement.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QMouseEvent>
#include <utility>

namespace tirvon::station {

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
    ui_.setupUi(this);
    // One fixed frame with only a close button, above the other windows.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        const int tag = button->property("tag").toInt();
        if (tag > 0)
            connect(button, &QAbstractButton::clicked, this,
                    [this, tag] { emit commandPressed(tag); });
    }
    ui_.Label4->installEventFilter(this);
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, &TForm2::Timer1Timer);
    timer1_.start();
    Timer1Timer();
}

void TForm2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!std::exchange(placed_, true))
        centreOnScreen(*this); // first shown in the middle of the desktop
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_.Label4 && event->type() == QEvent::MouseButtonRelease)
        emit sensorInfoRequested();
    return QWidget::eventFilter(watched, event);
}

void TForm2::Timer1Timer() {
    ui_.lab->setText(QDateTime::currentDateTime().toString(text::DateTimeFormat));
}

QByteArray TForm2::shownPhone() const {
    return text::fromUnicode(ui_.lPhone->text());
}

QByteArray TForm2::shownName() const {
    return text::fromUnicode(ui_.lName->text());
}

QString TForm2::maskedText(const QLineEdit& field) {
    // Every position of the mask, an unfilled one as a blank: the field's own
    // text leaves unfilled positions out, and " 8:30" would go out as "8:30".
    QString text = field.displayText();
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    return text;
}

std::array<commands::TestPointEntry, 4> TForm2::testPointEntries() const {
    const QComboBox* days[] = {ui_.ComboBox1, ui_.ComboBox2, ui_.ComboBox3, ui_.ComboBox4};
    const QLineEdit* times[] = {ui_.MaskEdit1, ui_.MaskEdit2, ui_.MaskEdit3, ui_.MaskEdit4};
    std::array<commands::TestPointEntry, 4> entries;
    for (size_t i = 0; i < entries.size(); ++i) {
        // The day kind is the position of the field's text in its list; typed
        // text that is not in the list is -1.
        entries[i] = {
            days[i]->findText(days[i]->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive),
            text::fromUnicode(maskedText(*times[i]))};
    }
    return entries;
}

bool TForm2::testPointsInactive() const {
    const QString inactive = QStringLiteral("Не активна");
    for (const QComboBox* day : {ui_.ComboBox1, ui_.ComboBox2, ui_.ComboBox3, ui_.ComboBox4}) {
        if (day->currentText() != inactive)
            return false;
    }
    return true;
}

bool TForm2::alarmWithoutTest() const {
    return ui_.CheckBox1->isChecked();
}

QByteArray TForm2::testTolerance() const {
    return text::fromUnicode(ui_.MaskEdit5->text());
}

void TForm2::setObjectWord(const QString& word) {
    ui_.GroupBox4->setTitle(QStringLiteral("Описание ") + word + QLatin1Char('a'));
    ui_.Label1->setText(QStringLiteral("Имя ") + word + QLatin1Char('a'));
}

QString TForm2::armingText() const {
    return ui_.lArm->text();
}

QAbstractButton* TForm2::buttonByTag(int tag) const {
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (button->property("tag").toInt() == tag)
            return button;
    }
    return nullptr;
}

void TForm2::fill(const ControlPanelData& d) {
    using text::toUnicode;
    setWindowTitle(toUnicode(d.name));
    ui_.lName->setText(toUnicode(d.name));
    ui_.lAddres->setText(toUnicode(d.address));
    ui_.lPhone->setText(toUnicode(d.phone));
    ui_.lDTMF->setText(toUnicode(d.dtmfPassword));
    ui_.lArm->setText(toUnicode(d.arming));
    ui_.lPower->setText(toUnicode(d.power));
    ui_.lBat->setText(toUnicode(d.battery));

    QLabel* inputNames[] = {ui_.IN1_, ui_.IN2_, ui_.IN3_, ui_.IN4_,
                            ui_.IN5_, ui_.IN6_, ui_.IN7_, ui_.IN8_};
    QLabel* inputStates[] = {ui_.IN_1, ui_.IN_2, ui_.IN_3, ui_.IN_4,
                             ui_.IN_5, ui_.IN_6, ui_.IN_7, ui_.IN_8};
    QLabel* relayNames[] = {ui_.RELE1_, ui_.RELE2_};
    QLabel* relayStates[] = {ui_.RELE_1, ui_.RELE_2};
    QLabel* outputNames[] = {ui_.OUT1_, ui_.OUT2_, ui_.OUT3_, ui_.OUT4_, ui_.OUT5_};
    QLabel* outputStates[] = {ui_.OUT_1, ui_.OUT_2, ui_.OUT_3, ui_.OUT_4, ui_.OUT_5};
    const auto show = [](QLabel* name, QLabel* state, const ControlPanelData::SignalRow& row) {
        const_cast<QLabel*>(name)->setText(toUnicode(row.displayName));
        const_cast<QLabel*>(state)->setText(toUnicode(row.state));
    };
    for (size_t i = 0; i < d.inputs.size(); ++i)
        show(inputNames[i], inputStates[i], d.inputs[i]);
    for (size_t i = 0; i < d.relays.size(); ++i)
        show(relayNames[i], relayStates[i], d.relays[i]);
    for (size_t i = 0; i < d.outputs.size(); ++i)
        show(outputNames[i], outputStates[i], d.outputs[i]);
    ui_.BAT->setText(toUnicode(d.batteryName));
    ui_.PIT->setText(toUnicode(d.powerName));
    ui_.GroupBox1->setVisible(true);

    QComboBox* days[] = {ui_.ComboBox1, ui_.ComboBox2, ui_.ComboBox3, ui_.ComboBox4};
    QLineEdit* times[] = {ui_.MaskEdit1, ui_.MaskEdit2, ui_.MaskEdit3, ui_.MaskEdit4};
    for (size_t i = 0; i < d.testPoints.size(); ++i) {
        days[i]->setCurrentIndex(d.testPoints[i].dayKind);
        times[i]->setText(toUnicode(d.testPoints[i].time));
    }
    ui_.CheckBox1->setChecked(d.alarmWithoutTest);
    ui_.MaskEdit5->setText(toUnicode(d.testTolerance));
}

} // namespace tirvon::station
