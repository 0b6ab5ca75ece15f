#include "windows/TForm4.h"

#include "text/Cp1251.h"
#include "ui_TForm4.h"

#include <QShowEvent>

namespace tirvon::configurator {

TForm4::TForm4(ini::IniFile& file, ui::Prompt& prompt, QString programDirectory,
               QString aliasStorePath, QWidget* parent)
    : QDialog(parent), prompt_(prompt),
      database_(file, std::move(programDirectory), std::move(aliasStorePath)),
      ui_(std::make_unique<Ui::TForm4>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Tool);
    setModal(true);
    connect(ui_->Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    connect(ui_->Button3, &QPushButton::clicked, this, &TForm4::Button3Click);
    connect(ui_->Button4, &QPushButton::clicked, this, &TForm4::Button4Click);
}

TForm4::~TForm4() = default;

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm4::FormShow() {
    try {
        database_.registerAlias();
    } catch (const OperationFailure& e) {
        prompt_.inform(e.message());
        return;
    }
    ui_->Memo1->setPlainText(database_.aliasParameters().join(QLatin1Char('\n')));
    fillTables();
    ui_->Label2->setText(text::toUnicode(database_.chosenTable()));
}

void TForm4::Button2Click() {
    const auto table = selectedTable();
    if (!table)
        return;
    try {
        database_.choose(*table);
    } catch (const OperationFailure& e) {
        prompt_.inform(e.message());
    }
    ui_->Label2->setText(text::toUnicode(database_.chosenTable()));
}

void TForm4::Button3Click() {
    const QString name = ui_->Edit1->text();
    if (name.isEmpty())
        return;
    if (const QString problem = database_.nameProblem(name); !problem.isEmpty()) {
        prompt_.inform(problem);
        return;
    }
    if (database_.exists(name) && !prompt_.confirm(database_.replaceQuestion(name)))
        return;
    try {
        database_.create(name);
    } catch (const OperationFailure& e) {
        prompt_.inform(e.message());
        return;
    }
    fillTables();
}

void TForm4::Button4Click() {
    const auto table = selectedTable();
    if (!table || !prompt_.confirm(database_.deleteQuestion(*table)))
        return;
    try {
        database_.remove(*table);
    } catch (const OperationFailure& e) {
        prompt_.inform(e.message());
        return;
    }
    fillTables();
}

void TForm4::fillTables() {
    const QStringList tables = database_.tables();
    for (QListWidget* list : {ui_->ListBox1, ui_->ListBox2}) {
        list->clear();
        list->addItems(tables);
    }
}

std::optional<QString> TForm4::selectedTable() {
    const QListWidgetItem* item = ui_->ListBox1->currentItem();
    if (!item || !item->isSelected()) {
        prompt_.inform(QStringLiteral("List index out of bounds (%1)").arg(-1));
        return std::nullopt;
    }
    return item->text();
}

} // namespace tirvon::configurator
