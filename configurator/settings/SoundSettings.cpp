#include "settings/SoundSettings.h"

#include "Paths.h"

#include "config/ConfiguratorDefaults.h"
#include "config/Schema.h"
#include "text/Cp1251.h"

#include <QFile>
#include <QLocale>

namespace tirvon::configurator {

QString SoundSettings::lengthText(qint64 ms) {
    return QLocale().toString(double(ms) / 1000, 'g', 15) + QStringLiteral(" сек");
}

void SoundSettings::ComboBox8Change(int sound) {
    if (sound < 0 || sound >= config::key::VoiceSlots)
        return;
    const QByteArray name = file_.readString(config::BaseStation, config::key::voice(sound + 1),
                                             config::configurator::defaultSoundFile());
    Openwav(config::soundFilePath(programDirectory_, name));
}

void SoundSettings::SpeedButton1Click(int sound) {
    const QString picked = prompt_.pickFile(FileFilter, voiceFolder());
    if (!picked.isEmpty())
        Openwav(picked);
    if (sound < 0 || sound >= config::key::VoiceSlots)
        return;
    file_.writeString(config::BaseStation, config::key::voice(sound + 1),
                      text::fromUnicode(filenaim(loaded_)));
}

bool SoundSettings::Openwav(const QString& path) {
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        prompt_.inform(QStringLiteral("Путь к воспроизводимому файлу указан не верно\r\n"
                                      "Проверьте правильность пути, либо сконфигурируйте заново!"));
        return false;
    }
    // The header and the chunk list lie at the start of the file.
    const QByteArray head = file.read(1 << 16);
    const qint64 fileSize = file.size();
    file.close();
    loaded_ = path;
    view_.showPath(path);
    player_.open(path);
    view_.showLength(lengthText(wavLengthMs(head, fileSize).value_or(0)));
    return true;
}

} // namespace tirvon::configurator
