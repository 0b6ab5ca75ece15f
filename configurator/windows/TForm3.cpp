#include "windows/TForm3.h"

#include "accounts/AccountsWork.h"
#include "text/Cp1251.h"
#include "ui_TForm3.h"

#include <QShowEvent>
#include <array>

namespace tirvon::configurator {

namespace {

// Row n's three fields: name, password, key code.
std::array<QLineEdit*, 3> row(Ui::TForm3& ui, int n) {
    const std::array<QLineEdit*, config::key::UserSlots> names = {
        ui.Edit01, ui.Edit02, ui.Edit03, ui.Edit04, ui.Edit05,
        ui.Edit06, ui.Edit07, ui.Edit08, ui.Edit09, ui.Edit10};
    const std::array<QLineEdit*, config::key::UserSlots> passwords = {
        ui.Edit11, ui.Edit12, ui.Edit13, ui.Edit14, ui.Edit15,
        ui.Edit16, ui.Edit17, ui.Edit18, ui.Edit19, ui.Edit20};
    const std::array<QLineEdit*, config::key::UserSlots> keys = {
        ui.Edit21, ui.Edit22, ui.Edit23, ui.Edit24, ui.Edit25,
        ui.Edit26, ui.Edit27, ui.Edit28, ui.Edit29, ui.Edit30};
    const size_t i = size_t(n - 1);
    return {names[i], passwords[i], keys[i]};
}

} // namespace

TForm3::TForm3(ini::IniFile& file, ui::Prompt& prompt, QWidget* parent)
    : QDialog(parent), file_(file), prompt_(prompt), ui_(std::make_unique<Ui::TForm3>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Tool);
    setModal(true);
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    // No key reader belongs to the system: "Получить ключ" stays disabled.
}

TForm3::~TForm3() = default;

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm3::FormShow() {
    const config::Accounts accounts = loadAccounts(file_);
    for (int n = 1; n <= config::key::UserSlots; ++n) {
        const config::UserEntry& entry = accounts.users[size_t(n - 1)];
        const auto [name, password, keyCode] = row(*ui_, n);
        name->setText(text::toUnicode(entry.name));
        password->setText(text::toUnicode(entry.password));
        keyCode->setText(text::toUnicode(entry.keyCode));
    }
}

void TForm3::Button1Click() {
    config::Accounts accounts;
    for (int n = 1; n <= config::key::UserSlots; ++n) {
        const auto [name, password, keyCode] = row(*ui_, n);
        accounts.users[size_t(n - 1)] = {text::fromUnicode(name->text()),
                                         text::fromUnicode(password->text()),
                                         text::fromUnicode(keyCode->text())};
    }
    if (const QString refusal = accountsRefusal(accounts); !refusal.isEmpty()) {
        prompt_.inform(refusal);
        return;
    }
    try {
        saveAccounts(file_, accounts);
    } catch (const OperationFailure& e) {
        prompt_.inform(e.message());
    }
}

} // namespace tirvon::configurator
