#include "modem/EventPump.h"
#include "serial/SerialPortLink.h"
#include "sound/MediaSoundPlayer.h"
#include "ui/Prompt.h"
#include "widgets/Placement.h"
#include "windows/StationWindowSet.h"

#include <QApplication>
#include <QDir>

using namespace tirvon;
using namespace tirvon::station;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Пульт центрального наблюдения TIRVON"));
    // The main window's end is the program's end, whatever else is open.
    QApplication::setQuitOnLastWindowClosed(false);

    // Every file of the station lies in the folder of its executable.
    const QString programDirectory =
        QDir(QCoreApplication::applicationDirPath()).absolutePath() + '/';
    ui::DialogPrompt prompt;
    StationWindowSet windows(std::make_unique<TForm1>(
        programDirectory, prompt, std::make_unique<serial::SerialPortLink>(programDirectory),
        std::make_unique<modem::QtEventPump>(), std::make_unique<MediaSoundPlayer>()));
    TForm1& form1 = windows.form1();
    prompt.setParent(&form1);

    QObject::connect(&form1, &TForm1::programEnded, &app,
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    centreOnScreen(form1);
    form1.show();
    return app.exec();
}
