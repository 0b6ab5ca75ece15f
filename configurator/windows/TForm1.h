#pragma once

#include "ui_TForm1.h"

#include "config/ObjectConfig.h"
#include "ini/IniFile.h"
#include "objects/RuleComposer.h"
#include "ui/Prompt.h"

#include <QDialog>
#include <QMainWindow>
#include <array>
#include <functional>

namespace tirvon::configurator {

class SettingsPanelBase;

// The configurator's main window: the object editor with its event rule tab,
// the place of the settings panel and the menus that open the other windows.
// The object's values and the rules of the file live in config::ObjectConfig
// and the rule composer; this class copies them to and from the controls.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(ini::IniFile& file, ui::Prompt& prompt, QString programDirectory,
           QWidget* parent = nullptr);

    // The settings panel (GroupBox9), hidden until TButton1 shows it over the
    // whole client area; the refresh has it read the file, its apply refreshes.
    void attachSettingsPanel(SettingsPanelBase* panel);
    // The about, accounts and database windows, shown modally from the menu.
    void attachWindows(QDialog* about, QDialog* accounts, QDialog* database);
    // How the modal windows are shown: exec() in the program; tests put their
    // own hand on the window instead.
    using ModalRunner = std::function<void(QDialog&)>;
    void setModalRunner(ModalRunner runner) { modalRunner_ = std::move(runner); }

    ::Ui::TForm1& ui() { return ui_; }
    const QString& programDirectory() const { return programDirectory_; }
    // Start folder of the sound file dialog: the program directory + "voice".

    // Object editor.
    void FormShow();
    void ComboBox1Change();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    QByteArray search_pool() const;
    QByteArray search_sect(const QByteArray& name) const;
    static QString pathnaim(const QString& path);
    static QString filenaim(const QString& path);

    // Menu.
    void N2Click() { runModal(about_); }
    void N7Click() { runModal(accounts_); }
    void N9Click() { runModal(database_); }
    void N10Click() { runModal(database_); }
    void TButton1Click();

    // Event rule editor.
    void ComboBox4Change();
    void Button5Click() { put(0); }
    void Button6Click();
    void Button7Click();
    void put(int mode);
    void ListBox1DblClick();
    void lb_upd();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QByteArray selectorText() const;
    QByteArray objectWord() const;
    config::ObjectConfig objectFromFields() const;
    void showObjectFields(const config::ObjectConfig& object);
    void showTestFields(const config::ObjectConfig& object);
    void chooseObject(const ini::IniDocument& doc);
    void rebuildRuleLists(const RuleLists& lists);
    void showSource(const RuleLists& lists);
    void showRuleLines(const QList<QByteArray>& records);
    RuleLists currentRuleLists() const;
    QList<QByteArray> ruleLines() const;
    void addRuleLine(const QByteArray& record);
    rules::RuleRecord recordFromControls() const;
    void cb5cb7(int mode, const QByteArray& value, const QByteArray& description);
    int currentRuleLine() const;
    void runModal(QDialog* dialog);
    // Runs work that writes the file; a refused write is shown and ends it.
    template <typename Work> bool guarded(Work work);

    ::Ui::TForm1 ui_;
    ini::IniFile& file_;
    ui::Prompt& prompt_;
    QString programDirectory_;
    SettingsPanelBase* panel_ = nullptr;
    QDialog* about_ = nullptr;
    QDialog* accounts_ = nullptr;
    QDialog* database_ = nullptr;
    ModalRunner modalRunner_ = [](QDialog& dialog) {
        dialog.exec();
    };
    std::array<QCheckBox*, 15> pollBoxes_{};
    std::array<QLineEdit*, 4> timeFields_{};
    std::array<QComboBox*, 4> daySelectors_{};
    bool objectChosenOnce_ = false;
    bool shown_ = false;
};

} // namespace tirvon::configurator
