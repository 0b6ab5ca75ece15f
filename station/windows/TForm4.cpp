#include "windows/TForm4.h"

#include "text/Cp1251.h"

#include <QFile>

namespace tirvon::station {

TForm4::TForm4(QWidget* parent) : QWidget(parent) {
    ui_.setupUi(this);
    setWindowFlags(Qt::Tool);
}

bool TForm4::showList(const QString& title, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    setWindowTitle(title);
    ui_.Memo1->clear();
    show();
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            ui_.Memo1->appendPlainText(text::toUnicode(line));
    }
    return true;
}

} // namespace tirvon::station
