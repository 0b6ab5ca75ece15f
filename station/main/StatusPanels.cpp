#include "main/StatusPanels.h"

#include <QLabel>
#include <QStatusBar>

namespace tirvon::station {

namespace {
struct PanelLayout {
    const char* text;
    int width;
    bool raised;
};
const PanelLayout panelLayouts[StatusPanels::Count] = {
    {"Модем:", 60, true}, {"Неопределен", 150, false},         {"Порт", 50, true},
    {"", 100, false},     {"Исх. события", 110, true},         {"", 30, false},
    {"", 250, false},     {"Системная информация", 50, false},
};
} // namespace

QString StatusPanels::okText() {
    return QStringLiteral("Обработка данных с модема в норме");
}
QString StatusPanels::errorText() {
    return QStringLiteral("Ошибка обработки данных с модема.");
}

StatusPanels::StatusPanels(QStatusBar& bar) : bar_(bar) {
    for (int i = 0; i < Count; ++i) {
        const PanelLayout& layout = panelLayouts[i];
        auto* label = new QLabel(QString::fromUtf8(layout.text), &bar);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setMinimumWidth(layout.width);
        label->setFrameStyle(QFrame::Panel | (layout.raised ? QFrame::Raised : QFrame::Sunken));
        // The last panel takes the rest of the bar, as its texts are long.
        bar.addWidget(label, i == Count - 1 ? 1 : 0);
        labels_.append(label);
    }
}

void StatusPanels::setText(Panel panel, const QString& text) {
    labels_[panel]->setText(text);
}

QString StatusPanels::text(Panel panel) const {
    return labels_[panel]->text();
}

void StatusPanels::setFont(bool error) {
    QFont font = bar_.font();
    font.setBold(error);
    bar_.setFont(font);
    QPalette palette = bar_.palette();
    palette.setColor(QPalette::WindowText, error ? QColor(255, 0, 0) : QColor(0, 0, 0));
    bar_.setPalette(palette);
}

void StatusPanels::showModemNote(const QString& text) {
    setText(SystemInfo, text);
    setFont(true);
}

void StatusPanels::showExchangeOutcome(modem::ExchangeOutcome outcome) {
    switch (outcome) {
    case modem::ExchangeOutcome::Completed:
        setText(SystemInfo, okText());
        setFont(false);
        break;
    case modem::ExchangeOutcome::Failed:
        setText(SystemInfo, errorText());
        setFont(true);
        break;
    case modem::ExchangeOutcome::TimedOut:
        setText(SystemInfo, errorText()); // the font stays as it was
        break;
    }
}

} // namespace tirvon::station
