#include "widgets/LedIndicator.h"

#include <QMouseEvent>
#include <QPainter>

namespace tirvon::station {

LedIndicator::LedIndicator(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
}

void LedIndicator::setOnColor(const QColor& color) {
    onColor_ = color;
    update();
}

void LedIndicator::setOn(bool on) {
    if (on_ == on)
        return;
    on_ = on;
    update();
}

void LedIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(on_ ? onColor_ : onColor_.darker(350));
    p.drawEllipse(rect().adjusted(1, 1, -1, -1));
}

void LedIndicator::mouseReleaseEvent(QMouseEvent* event) {
    emit released(event->modifiers());
    QWidget::mouseReleaseEvent(event);
}

} // namespace tirvon::station
