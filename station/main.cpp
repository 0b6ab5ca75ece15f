#include "modem/EventPump.h"
#include "serial/SerialPortLink.h"
#include "ui/Prompt.h"
#include "widgets/Placement.h"
#include "windows/TForm1.h"
#include "windows/TForm2.h"
#include "windows/TForm3.h"
#include "windows/TForm4.h"
#include "windows/TForm5.h"
#include "windows/TForm6.h"
#include "windows/TForm7.h"
#include "windows/TForm8.h"
#include "windows/TForm9.h"

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

    StationWindows w;
    auto form1 = std::make_unique<TForm1>(
        programDirectory, prompt, std::make_unique<serial::SerialPortLink>(programDirectory),
        std::make_unique<modem::QtEventPump>());
    w.form1 = form1.get();
    prompt.setParent(w.form1);
    TForm2 form2;
    TForm3 form3;
    TForm4 form4;
    TForm5 form5;
    TForm6 form6;
    TForm7 form7;
    TForm8 form8;
    TForm9 form9;
    w.form2 = &form2;
    w.form3 = &form3;
    w.form4 = &form4;
    w.form5 = &form5;
    w.form6 = &form6;
    w.form7 = &form7;
    w.form8 = &form8;
    w.form9 = &form9;
    w.form1->attachWindows(w);

    QObject::connect(w.form1, &TForm1::programEnded, &app,
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    centreOnScreen(*w.form1);
    w.form1->show();
    return app.exec();
}
