#include "windows/TForm5.h"

#include "windows/TForm8.h"

#include <QCloseEvent>

namespace tirvon::station {

TForm5::TForm5(QWidget* parent) : QWidget(parent) {
    ui_.setupUi(this);
    ui_.DateEdit1->setDate(QDate::currentDate());
    ui_.DateEdit1->setCalendarOnly(true);
    for (int c = 0; c < ReportCategoryCount; ++c) {
        categoryBox(c)->setText(reportCategories()[size_t(c)].caption);
        counterLabel(c)->setText(reportCategories()[size_t(c)].counterCaption);
    }
    connect(ui_.Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(ui_.Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
}

QCheckBox* TForm5::categoryBox(int category) const {
    QCheckBox* const boxes[] = {ui_.CheckBox1, ui_.CheckBox2, ui_.CheckBox3,
                                ui_.CheckBox4, ui_.CheckBox5, ui_.CheckBox7};
    return boxes[category];
}

QLabel* TForm5::counterLabel(int category) const {
    QLabel* const labels[] = {ui_.Label7,  ui_.Label8,  ui_.Label9,
                              ui_.Label10, ui_.Label15, ui_.Label16};
    return labels[category];
}

QLabel* TForm5::counterValue(int category) const {
    QLabel* const values[] = {ui_.Count7,  ui_.Count8,  ui_.Count9,
                              ui_.Count10, ui_.Count15, ui_.Count16};
    return values[category];
}

void TForm5::attach(Reports& reports, TForm8& printout, ui::Prompt& prompt) {
    reports_ = &reports;
    printout_ = &printout;
    prompt_ = &prompt;
}

void TForm5::setObjectWord(const QString& word) {
    ui_.GroupBox1->setTitle(word);
    if (reports_)
        reports_->grid().setBankTitle(word);
}

ReportRequest TForm5::request() const {
    ReportRequest r;
    r.object = ui_.ComboBox1->currentText();
    r.wholePeriod = ui_.CheckBox6->isChecked();
    r.from = ui_.DateEdit1->text();
    r.to = ui_.DateEdit2->text();
    for (int c = 0; c < ReportCategoryCount; ++c)
        r.shown[size_t(c)] = categoryBox(c)->isChecked();
    return r;
}

void TForm5::FormShow() {
    if (!reports_)
        return;
    const QString chosen = ui_.ComboBox1->currentText();
    ui_.ComboBox1->clear();
    ui_.ComboBox1->addItems(reports_->objectFilter());
    ui_.ComboBox1->setCurrentIndex(qMax(0, ui_.ComboBox1->findText(chosen)));
}

void TForm5::Button1Click() {
    if (!reports_)
        return;
    ui_.DBGrid1->setModel(nullptr);
    if (!reports_->build(request()))
        return;
    for (int c = 0; c < ReportCategoryCount; ++c)
        counterValue(c)->setText(QString::number(reports_->counters()[size_t(c)]));
    log::LogTableModel& grid = reports_->grid();
    ui_.DBGrid1->setModel(&grid);
    for (int i = 0; i < grid.columnCount(); ++i)
        ui_.DBGrid1->setColumnWidth(i, grid.columnWidth(i));
}

void TForm5::Button2Click() {}

void TForm5::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}

void TForm5::closeEvent(QCloseEvent* event) {
    ui_.DBGrid1->setModel(nullptr);
    if (reports_)
        reports_->close();
    QWidget::closeEvent(event);
}

} // namespace tirvon::station
