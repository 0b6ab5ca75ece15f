#include "widgets/DateEdit.h"

#include "text/DateStamps.h"

#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tirvon::station {

DateEdit::DateEdit(QWidget* parent) : QWidget(parent), edit_(new QLineEdit(this)) {
    auto* button = new QToolButton(this);
    button->setText(QStringLiteral("…"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit_);
    layout->addWidget(button);
    connect(button, &QToolButton::clicked, this, &DateEdit::chooseDate);
}

QString DateEdit::text() const {
    return edit_->text();
}

void DateEdit::setText(const QString& text) {
    edit_->setText(text);
}

void DateEdit::setDate(const QDate& date) {
    edit_->setText(date.toString(text::ShortDateFormat));
}

void DateEdit::setCalendarOnly(bool only) {
    edit_->setReadOnly(only);
}

void DateEdit::chooseDate() {
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Выберите дату"));
    auto* calendar = new QCalendarWidget(&dialog);
    const QDate shown = QDate::fromString(edit_->text(), text::ShortDateFormat);
    if (shown.isValid())
        calendar->setSelectedDate(shown);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(calendar);
    layout->addWidget(buttons);
    connect(calendar, &QCalendarWidget::activated, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() == QDialog::Accepted)
        setDate(calendar->selectedDate());
}

} // namespace tirvon::station
