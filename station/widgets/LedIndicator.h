#pragma once

#include <QColor>
#include <QWidget>

namespace tirvon::station {

// A round indicator of one serial line signal: lit in its colour, dark when off.
class LedIndicator : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor onColor READ onColor WRITE setOnColor)
public:
    explicit LedIndicator(QWidget* parent = nullptr);

    QColor onColor() const { return onColor_; }
    void setOnColor(const QColor& color);
    bool isOn() const { return on_; }
    void setOn(bool on);

    QSize sizeHint() const override { return {13, 13}; }

signals:
    void released(Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor onColor_ = Qt::red;
    bool on_ = false;
};

} // namespace tirvon::station
