#pragma once

#include "ui_TForm7.h"

#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;

namespace tirvon::station {

// The modem initialisation window: shown modally at start-up, it starts its
// work one tick after it is shown and closes itself when the work is done.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
    Ui::TForm7& ui() { return ui_; }

    void setWork(std::function<void()> work) { work_ = std::move(work); }
    void setGauge(int percent) { ui_.Gauge1->setValue(percent); }
    void setResultLine(const QString& text);
    QString resultLine() const;
    QTimer& timer1() { return timer1_; }

    void Timer1Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override {} // no way out but the end of the work

private:
    Ui::TForm7 ui_;
    QLabel* resultPanel_;
    QTimer timer1_;
    std::function<void()> work_;
};

} // namespace tirvon::station
