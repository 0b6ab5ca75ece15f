#pragma once

#include <QDate>
#include <QWidget>

class QLineEdit;

namespace tirvon::station {

// A date field: its text in the short date form, typed (unless the field only
// takes dates from its calendar) or chosen from a calendar titled "Выберите
// дату". It may be empty.
class DateEdit : public QWidget {
    Q_OBJECT
public:
    explicit DateEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    void setDate(const QDate& date);
    // Only the calendar sets the date: the text cannot be typed.
    void setCalendarOnly(bool only);

private:
    void chooseDate();

    QLineEdit* edit_;
};

} // namespace tirvon::station
