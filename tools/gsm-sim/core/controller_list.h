#pragma once

#include "simulated_controller.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <variant>

namespace gsmsim {

// The controllers file of the simulator, UTF-8 text, one controller a line:
//
//     # phone       password  name (the rest of the line)
//     79161110001   4071      ATM in the mall
//     79161110002   ""        ATM with an empty password
//
// The phone is digits only, as the station keeps it (without "+"); "" stands for an empty
// password; the name may be left out. Blank lines and lines starting with "#" are skipped.
// A phone may appear only once.
struct ControllerListError {
    int line = 0; // counted from 1
    QString message;
};

std::variant<QList<ControllerConfig>, ControllerListError>
parseControllerList(const QByteArray& text);

} // namespace gsmsim
