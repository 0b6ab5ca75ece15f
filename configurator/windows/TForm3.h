#pragma once

#include "ini/IniFile.h"
#include "ui/Prompt.h"

#include <QDialog>
#include <memory>

namespace tirvon::configurator {

namespace Ui {
class TForm3;
}

// The operator accounts: name, password and key code of ten users. Each showing
// fills the fields from the file; "Сохранить" writes all ten entries, or none
// when one of them could not be read back as typed.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(ini::IniFile& file, ui::Prompt& prompt, QWidget* parent = nullptr);
    ~TForm3() override;
    Ui::TForm3& ui() { return *ui_; }

    void FormShow();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ini::IniFile& file_;
    ui::Prompt& prompt_;
    std::unique_ptr<Ui::TForm3> ui_;
};

} // namespace tirvon::configurator
