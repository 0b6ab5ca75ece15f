#include "panel/PanelCommands.h"

#include "config/Schema.h"
#include "objects/ObjectRegistry.h"
#include "queue/OutgoingQueue.h"
#include "text/DateStamps.h"

namespace tirvon::station {

using namespace tirvon::commands;

namespace {

// Tags 203..216: relays 1, 2 on (203, 204) and off (205, 206), outputs 1..5 on
// (207..211) and off (212..216). Index into the signal list and the state.
std::optional<std::pair<int, bool>> switchOfTag(int tag) {
    if (tag >= 203 && tag <= 204)
        return std::pair{8 + tag - 203, true};
    if (tag >= 205 && tag <= 206)
        return std::pair{8 + tag - 205, false};
    if (tag >= 207 && tag <= 211)
        return std::pair{10 + tag - 207, true};
    if (tag >= 212 && tag <= 216)
        return std::pair{10 + tag - 212, false};
    return std::nullopt;
}

} // namespace

std::optional<PanelCommands::Command> PanelCommands::compose(int tag, const QByteArray& section,
                                                             const ControlPanelFields& panel) {
    if (const auto sw = switchOfTag(tag)) {
        const config::Signal& signal = config::signalList()[size_t(sw->first)];
        return Command{switchBody(file_, signal, sw->second),
                       switchDescription(file_, signal, sw->second)};
    }
    switch (tag) {
    case 201:
        return Command{ArmBody, description::arm()};
    case 202:
        return Command{DisarmBody, description::disarm()};
    case 500:
        return Command{clockBody(clock_()), description::setClock()};
    case 501:
        return Command{TestBody, description::testMessage()};
    case 502: {
        const QByteArray list = file_.readString(section, config::key::SysTest, "not");
        if (list == "not" || list.isEmpty()) {
            prompt_.inform(QStringLiteral("Не заданы элементы для опроса!"));
            return std::nullopt;
        }
        return Command{list, description::stateQuery()};
    }
    case 503:
        return Command{ListenBody, description::voiceConnection()};
    case 504:
        return Command{TestPointsOffBody, description::testPointsOff()};
    case 505: {
        file_.writeString(section, config::key::TNOTTEST, panel.testTolerance());
        file_.writeString(section, config::key::TALARM, panel.alarmWithoutTest() ? "-1" : "0");
        const QByteArray body = panel.testPointsInactive()
                                    ? QByteArray(TestPointsOffBody)
                                    : testPointBody(panel.testPointEntries());
        return Command{body, body.contains("OFF") ? description::testPointsOff()
                                                  : description::testPointsSet()};
    }
    default:
        return std::nullopt;
    }
}

void PanelCommands::DISARMClick(int tag, const ControlPanelFields& panel) {
    const QByteArray phone = panel.shownPhone();
    const QByteArray section = ObjectRegistry(file_).search_sect_phone(phone);
    const QByteArray password = file_.readString(section, config::key::Pass, "not");
    if (password == "not")
        return;
    const std::optional<Command> command = compose(tag, section, panel);
    if (!command)
        return;
    queue_.postsms("+" + phone, commandText(password, command->body));
    const QDateTime now = clock_();
    log_(panel.shownName(), now.toString(text::LogDateFormat).toLatin1(), "00:00:00",
         now.toString(text::LogTimeFormat).toLatin1(), "< " + command->description);
}

} // namespace tirvon::station
