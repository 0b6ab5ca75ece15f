#pragma once

#include "database/LogDatabase.h"
#include "ini/IniFile.h"
#include "ui/Prompt.h"

#include <QDialog>
#include <memory>

namespace tirvon::configurator {

namespace Ui {
class TForm4;
}

// The log database: the alias TIRVON_B, moved to the program directory at
// every showing, the tables under it, new empty log tables, the choice of the
// station's log (BASE) and the deletion of tables.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    TForm4(ini::IniFile& file, ui::Prompt& prompt, QString programDirectory, QString aliasStorePath,
           QWidget* parent = nullptr);
    ~TForm4() override;
    Ui::TForm4& ui() { return *ui_; }

    void FormShow();
    void Button2Click(); // "Выбрать"
    void Button3Click(); // "Создать"
    void Button4Click(); // "Удалить"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillTables();
    // The table selected in ListBox1; the list's error when there is none.
    std::optional<QString> selectedTable();

    ui::Prompt& prompt_;
    LogDatabase database_;
    std::unique_ptr<Ui::TForm4> ui_;
};

} // namespace tirvon::configurator
