// Cost of the configurator's refresh on a full file: 99 objects of 500 event
// rules each, written as the object editor saves them. The refresh (the main
// window's FormShow: the object list, the signal names, the rule editor's
// lists; the first one also loads the first object and its rules) should take
// 200 ms at most, and so should choosing an object, which lists its rules.
// The window is the real one with its settings panel, on the offscreen platform;
// the parse of the file and the loading of every object without widgets are
// measured apart.
//
//   configurator_bench [OBJECTS [RULES [FOLDER]]]   (default 99 objects of 500 rules,
//                                                   a temporary folder)
#include "BenchSupport.h"
#include "config/ObjectConfig.h"
#include "config/Schema.h"
#include "ini/IniDocument.h"
#include "ini/IniFile.h"
#include "rules/RuleRecord.h"
#include "settings/SettingsPanel.h"
#include "text/Cp1251.h"
#include "ui/Prompt.h"
#include "windows/TForm1.h"

#include <QApplication>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace tirvon;
using namespace tirvon::configurator;
using bench::Clock;
using bench::milliseconds;

namespace {

QByteArray objectName(int n) {
    return text::cp("Банкомат №") + QByteArray::number(n);
}

// The rules of one object: triggers on every input, commands to the relays and
// outputs, a description each.
QList<QByteArray> rulesOf(int object, int count) {
    static const char* const triggers[] = {"IN1 OPEN", "IN2 CLOSE",   "IN3 ON",
                                           "IN4 OFF",  "POWER FAULT", "BATTERY LOW",
                                           "RELE1 ON", "OUT3 OFF",    "_TIME 12:00:00"};
    static const char* const commands[] = {"RELE1 ON", "RELE2 OFF", "OUT1 ON !", "OUT5 OFF"};
    QList<QByteArray> rules;
    for (int k = 0; k < count; ++k)
        rules.append(rules::RuleRecord{triggers[k % 9], commands[k % 4], k % 3 ? "1" : "0",
                                       text::cp("Событие ") + QByteArray::number(k) +
                                           text::cp(" объекта ") + QByteArray::number(object)}
                         .format());
    return rules;
}

// The file: BaseStation, then each object as the editor saves it.
QByteArray configuration(int objects, int rules) {
    QByteArray file = "[BaseStation]\r\nCOMPort=1\r\nBASE=events.dbf\r\n";
    for (int n = 1; n <= objects; ++n) {
        ini::IniDocument section;
        const QByteArray name = config::objectSection(n);
        config::ObjectConfig object = config::loadObject(section, name);
        object.name = objectName(n);
        object.phone = "+7900" + QByteArray::number(1000000 + n);
        object.polled.fill(true);
        object.rules = rulesOf(n, rules);
        config::saveObject(section, name, object);
        file += "\r\n" + section.serialize();
    }
    return file;
}

// Runs what the window has posted until nothing is left.
void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// The file as written again with the same bytes: another identity, so the next
// read parses it, as after a save of either program.
void rewrite(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        std::exit(1);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

constexpr double TargetMs = 200;
constexpr int Rounds = 5;

} // namespace

int main(int argc, char** argv) {
    bench::offscreenUnlessTold();
    QApplication app(argc, argv);
    const bench::Arguments arguments(argc, argv);
    const int objects = arguments.count(1, 99);
    const int rules = arguments.count(2, 500);
    const QString folder = arguments.folder(3) + '/';
    const QString path = folder + QLatin1String(config::FileName);

    auto start = Clock::now();
    const QByteArray content = configuration(objects, rules);
    rewrite(path, content);
    std::printf("file of %d objects of %d rules: %.1f MB, made in %.0f ms\n", objects, rules,
                content.size() / 1e6, milliseconds(Clock::now() - start));

    // Without widgets: the parse, and every object loaded with its rules.
    std::vector<double> parse, load;
    for (int round = 0; round < Rounds; ++round) {
        start = Clock::now();
        const ini::IniDocument doc = ini::IniDocument::parse(content);
        parse.push_back(milliseconds(Clock::now() - start));
        start = Clock::now();
        int loaded = 0;
        for (int n = config::FirstObject; n <= config::LastObject; ++n) {
            if (doc.hasSection(config::objectSection(n)))
                loaded += int(config::loadObject(doc, config::objectSection(n)).rules.size());
        }
        load.push_back(milliseconds(Clock::now() - start));
        if (loaded != objects * rules)
            return 1;
    }
    std::printf("parse of the file: %.1f ms; every object loaded with its rules: %.1f ms\n",
                median(parse), median(load));

    ini::IniFile file(path);
    bench::SilentPrompt prompt;
    TForm1 form1(file, prompt, folder);
    SettingsPanel panel(file, prompt, folder, &form1);
    form1.attachSettingsPanel(&panel);

    // The first showing refreshes the window from the file and loads the first
    // object.
    start = Clock::now();
    form1.show();
    settle();
    const double firstMs = milliseconds(Clock::now() - start);
    std::printf("first showing (file read, first object's %d rules listed): %.1f ms\n",
                form1.ui().ListBox1->count(), firstMs);

    std::vector<double> refresh, choose;
    for (int round = 0; round < Rounds; ++round) {
        rewrite(path, content);
        start = Clock::now();
        form1.FormShow();
        refresh.push_back(milliseconds(Clock::now() - start));
        // The operator picks the last object: its rules are listed.
        start = Clock::now();
        form1.ui().ComboBox1->setEditText(QString::fromUtf8("Банкомат №") +
                                          QString::number(objects - round % 2));
        form1.ComboBox1Change();
        choose.push_back(milliseconds(Clock::now() - start));
        if (form1.ui().ListBox1->count() != rules)
            return 1;
    }
    const double refreshMs = median(refresh);
    const double chooseMs = median(choose);
    std::printf("refresh after the file changed: %.1f ms (median of %d)\n", refreshMs, Rounds);
    std::printf("choosing an object, its %d rules listed: %.1f ms (median of %d)\n", rules,
                chooseMs, Rounds);
    // A save of the chosen object, which ends in a refresh: shown for what it
    // costs, the figure is the refresh.
    start = Clock::now();
    form1.Button2Click();
    std::printf("saving an object and the refresh after it: %.1f ms\n",
                milliseconds(Clock::now() - start));
    const double worst = std::max({firstMs, refreshMs, chooseMs});
    std::printf("configurator refresh with %d objects of %d rules: %.1f ms at most "
                "(target <= %.0f ms: %s)\n",
                objects, rules, worst, TargetMs, worst <= TargetMs ? "met" : "NOT met");
    return 0;
}
