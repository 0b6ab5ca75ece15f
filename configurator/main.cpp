#include "config/Schema.h"
#include "ini/IniFile.h"
#include "log/AliasStore.h"
#include "settings/SettingsPanel.h"
#include "ui/Placement.h"
#include "ui/Prompt.h"
#include "windows/TForm1.h"
#include "windows/TForm2.h"
#include "windows/TForm3.h"
#include "windows/TForm4.h"

#include <QApplication>
#include <QDir>

using namespace tirvon;
using namespace tirvon::configurator;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Конфигуратор ПЦН TIRVON-B"));

    // The configuration lies in the folder of the executable.
    const QString programDirectory =
        QDir(QCoreApplication::applicationDirPath()).absolutePath() + '/';
    ini::IniFile file(programDirectory + QLatin1String(config::FileName));
    ui::DialogPrompt prompt;

    // The windows, created once in their order: main window, about, accounts,
    // database; then the settings panel, which the main window holds.
    TForm1 form1(file, prompt, programDirectory);
    prompt.setParent(&form1);
    TForm2 form2(&form1);
    TForm3 form3(file, prompt, &form1);
    TForm4 form4(file, prompt, programDirectory, log::AliasStore::defaultPath(), &form1);
    SettingsPanel panel(file, prompt, programDirectory, &form1);
    form1.attachSettingsPanel(&panel);
    form1.attachWindows(&form2, &form3, &form4);

    form1.show(); // the first showing refreshes it from the file
    ui::centreOnScreen(form1);
    return app.exec();
}
