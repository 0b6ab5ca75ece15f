#include "windows/TForm3.h"

#include "text/Cp1251.h"

namespace tirvon::station {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    ui_.setupUi(this);
    // A tool window without title-bar buttons.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    connect(ui_.SpeedButton1, &QPushButton::clicked, this, &TForm3::SpeedButton1Click);
    connect(ui_.Button1, &QPushButton::clicked, this, &TForm3::SpeedButton1Click);
    connect(ui_.SpeedButton2, &QPushButton::clicked, this, &TForm3::SpeedButton2Click);
    // ComboBox1Change: a name chosen or typed moves on to the password.
    const auto toPassword = [this] {
        ui_.Edit1->setFocus();
    };
    connect(ui_.ComboBox1, &QComboBox::textActivated, this, toPassword);
    connect(ui_.ComboBox1->lineEdit(), &QLineEdit::textEdited, this, toPassword);
}

void TForm3::prepare(const QList<QByteArray>& names, bool logReady) {
    ui_.ComboBox1->clear();
    ui_.Edit1->clear();
    for (const QByteArray& name : names)
        ui_.ComboBox1->addItem(text::toUnicode(name));
    ui_.ComboBox1->setCurrentIndex(-1);
    ui_.ComboBox1->setEditText(QString());
    ui_.SpeedButton1->setEnabled(logReady);
    ui_.Button1->setEnabled(logReady);
}

void TForm3::SpeedButton1Click() {
    if (!ui_.SpeedButton1->isEnabled())
        return;
    emit loginRequested(text::fromUnicode(ui_.ComboBox1->currentText()),
                        text::fromUnicode(ui_.Edit1->text()));
}

} // namespace tirvon::station
