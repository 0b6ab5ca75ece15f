#pragma once

#include "ui_SettingsPanel.h"

#include "config/SystemSettings.h"
#include "ini/IniFile.h"
#include "modem/EventPump.h"
#include "serial/ModemLink.h"
#include "settings/ModemProbe.h"
#include "settings/SettingsPanelBase.h"
#include "settings/SoundPlayer.h"
#include "settings/SoundSettings.h"
#include "ui/Prompt.h"

#include <memory>

class QLineEdit;

namespace tirvon::configurator {

// The system settings panel (GroupBox9): port, initialisation strings, signal
// names and descriptions, written together by one apply; the system sounds,
// each stored as soon as it is picked; the modem test.
class SettingsPanel : public SettingsPanelBase, private SoundView {
    Q_OBJECT
public:
    // The panel of the program: the real serial port (9600 baud, RTS low) and
    // the real player.
    SettingsPanel(ini::IniFile& file, ui::Prompt& prompt, QString programDirectory,
                  QWidget* parent = nullptr);
    SettingsPanel(ini::IniFile& file, ui::Prompt& prompt, QString programDirectory,
                  std::unique_ptr<serial::ModemLink> link, std::unique_ptr<modem::EventPump> pump,
                  std::unique_ptr<SoundPlayer> player, QWidget* parent = nullptr);
    ~SettingsPanel() override;

    ::Ui::SettingsPanel& ui() { return ui_; }
    ModemProbe& modemProbe() { return *probe_; }
    SoundSettings& sounds() { return *sounds_; }

    void loadPortSettings(const ini::IniDocument& doc) override;
    void loadSignalNames(const ini::IniDocument& doc) override;
    // The same from the file as it is now.
    void loadPortSettings() { loadPortSettings(*file_.snapshot()); }
    void loadSignalNames() { loadSignalNames(*file_.snapshot()); }
    int portGroupWidth() const override;

    void Button9Click();
    void Button8Click();
    void Button10Click() { hide(); }
    void Button4Click();
    void ComboBox8Change();
    void SpeedButton1Click();

protected:
    // Shown from the menu: the selected sound is loaded into the player.
    void showEvent(QShowEvent* event) override;

private:
    bool apply();
    void showPath(const QString& path) override;
    void showLength(const QString& length) override;
    // The settings as the fields hold them.
    config::SystemSettings typed() const;
    std::array<QLineEdit*, 15> displayNameFields() const;
    std::array<QLineEdit*, 15> shortNameFields() const;
    std::array<QLineEdit*, 15> activeStateFields() const;

    ::Ui::SettingsPanel ui_;
    ini::IniFile& file_;
    ui::Prompt& prompt_;
    std::unique_ptr<serial::ModemLink> link_;
    std::unique_ptr<modem::EventPump> pump_;
    std::unique_ptr<SoundPlayer> player_;
    std::unique_ptr<ModemProbe> probe_;
    std::unique_ptr<SoundSettings> sounds_;
    config::SystemSettings shown_; // what the last loading put into the fields
};

} // namespace tirvon::configurator
