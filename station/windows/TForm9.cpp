#include "windows/TForm9.h"

#include "text/Cp1251.h"

namespace tirvon::station {

TForm9::TForm9(QWidget* parent) : QWidget(parent) {
    ui_.setupUi(this);
    setWindowFlags(Qt::Tool);
    ui_.Memo->setMaximumBlockCount(MaxLines);
}

void TForm9::appendEntry(const QByteArray& buffer) {
    // Every line break of the text, CR LF or a lone CR or LF, starts a new line.
    QString text = text::toUnicode(buffer);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    ui_.Memo->appendPlainText(text);
}

} // namespace tirvon::station
