#pragma once

#include "ini/IniFile.h"
#include "settings/SoundPlayer.h"
#include "ui/Prompt.h"

#include <QString>

namespace tirvon::configurator {

// What the sound group shows of the loaded file.
class SoundView {
public:
    virtual ~SoundView() = default;
    virtual void showPath(const QString& path) = 0;     // Label38
    virtual void showLength(const QString& length) = 0; // Label31
};

// The system sounds: the file of each of the nine sounds (Voice1..Voice9),
// loaded into the player, and a newly picked file stored by its bare name,
// which the station then looks for in the voice folder.
class SoundSettings {
public:
    static inline const QString FileFilter = QStringLiteral("Windows Media File (*.wav)");

    SoundSettings(ini::IniFile& file, ui::Prompt& prompt, SoundPlayer& player,
                  QString programDirectory, SoundView& view)
        : file_(file), prompt_(prompt), player_(player),
          programDirectory_(std::move(programDirectory)), view_(view) {}

    // ComboBox8Change: the file of sound number sound (0 for Voice1).
    void ComboBox8Change(int sound);
    // SpeedButton1Click: a file picked for that sound; the key is written
    // whether or not a file was picked, with the name of the file the player
    // holds.
    void SpeedButton1Click(int sound);
    // Openwav: false, and the player keeps its file, when the file cannot be
    // read.
    bool Openwav(const QString& path);
    const QString& loadedPath() const { return loaded_; }
    QString voiceFolder() const { return programDirectory_ + QStringLiteral("voice"); }

    // The length as shown: seconds in the locale's number form and " сек".
    static QString lengthText(qint64 ms);

private:
    ini::IniFile& file_;
    ui::Prompt& prompt_;
    SoundPlayer& player_;
    QString programDirectory_;
    SoundView& view_;
    QString loaded_; // the file the player holds
};

} // namespace tirvon::configurator
