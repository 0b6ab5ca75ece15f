#pragma once

#include "ui_TForm3.h"

#include <QByteArray>
#include <QDialog>
#include <QList>

namespace tirvon::station {

// The operator login: a name chosen (or typed) and a password. It closes only
// on a successful login or when the program ends; Escape and the window
// manager's close act as "Отмена".
class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    Ui::TForm3& ui() { return ui_; }

    // FormShow: the account names in slot order; without a log to bind to only
    // "Отмена" stays usable.
    void prepare(const QList<QByteArray>& names, bool logReady);

    void SpeedButton1Click();
    void SpeedButton2Click() { emit cancelRequested(); }

signals:
    void loginRequested(const QByteArray& name, const QByteArray& password);
    void cancelRequested();

protected:
    void reject() override { SpeedButton2Click(); }

private:
    Ui::TForm3 ui_;
};

} // namespace tirvon::station
