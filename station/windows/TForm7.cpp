#include "windows/TForm7.h"

#include <QLabel>

namespace tirvon::station {

TForm7::TForm7(QWidget* parent) : QDialog(parent) {
    ui_.setupUi(this);
    // No title bar: the window shows only its gauge and result line.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    ui_.Gauge1->setStyleSheet(
        QStringLiteral("QProgressBar { font-weight: bold; text-align: center; }"
                       "QProgressBar::chunk { background: rgb(128, 128, 255); }"));
    resultPanel_ = new QLabel(ui_.StatusBar1);
    resultPanel_->setObjectName(QStringLiteral("Panel0"));
    resultPanel_->setMinimumWidth(50);
    ui_.StatusBar1->addWidget(resultPanel_, 1);
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, &TForm7::Timer1Timer);
}

void TForm7::setResultLine(const QString& text) {
    resultPanel_->setText(text);
}

QString TForm7::resultLine() const {
    return resultPanel_->text();
}

void TForm7::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    timer1_.start(); // FormShow: the work starts one tick later
}

void TForm7::Timer1Timer() {
    timer1_.stop();
    if (work_)
        work_();
    accept();
}

} // namespace tirvon::station
