#include "windows/TForm1.h"

#include "Paths.h"

#include "config/ConfiguratorDefaults.h"
#include "failure/OperationFailure.h"
#include "settings/SettingsPanelBase.h"
#include "text/Cp1251.h"

#include <QEvent>

namespace tirvon::configurator {

using config::ObjectConfig;
using text::fromUnicode;
using text::toUnicode;

namespace {

constexpr int RecordRole = Qt::UserRole; // the rule record's bytes as stored

// A time field's text as five characters hh:mm: an hour of one digit gets its
// leading "0".
QByteArray fiveCharacterTime(const QString& fieldText) {
    QString hours = fieldText.section(QLatin1Char(':'), 0, 0).trimmed();
    QString minutes = fieldText.section(QLatin1Char(':'), 1).trimmed();
    return fromUnicode(hours.rightJustified(2, QLatin1Char('0')) + QLatin1Char(':') +
                       minutes.leftJustified(2, QLatin1Char('0')));
}

} // namespace

TForm1::TForm1(ini::IniFile& file, ui::Prompt& prompt, QString programDirectory, QWidget* parent)
    : QMainWindow(parent), file_(file), prompt_(prompt),
      programDirectory_(std::move(programDirectory)) {
    ui_.setupUi(this);
    setWindowTitle(QStringLiteral("Конфигуратор ПЦН TIRVON-B"));
    ui_.GroupBox2->move(8, 8);
    ui_.ClientArea->installEventFilter(this);

    // In signal order: inputs 1..8, relays 1..2, outputs 1..5.
    pollBoxes_ = {ui_.CheckBox10, ui_.CheckBox11, ui_.CheckBox12, ui_.CheckBox13, ui_.CheckBox14,
                  ui_.CheckBox15, ui_.CheckBox21, ui_.CheckBox22, ui_.CheckBox18, ui_.CheckBox19,
                  ui_.CheckBox8,  ui_.CheckBox9,  ui_.CheckBox17, ui_.CheckBox16, ui_.CheckBox20};
    timeFields_ = {ui_.MaskEdit1, ui_.MaskEdit2, ui_.MaskEdit3, ui_.MaskEdit4};
    daySelectors_ = {ui_.ComboBox10, ui_.ComboBox11, ui_.ComboBox12, ui_.ComboBox13};

    connect(ui_.ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
    connect(ui_.Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(ui_.Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(ui_.Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(ui_.N3, &QAction::triggered, this, [this] { Button1Click(); });
    connect(ui_.N4, &QAction::triggered, this, [this] { Button2Click(); });
    connect(ui_.N5, &QAction::triggered, this, [this] { Button3Click(); });
    connect(ui_.N2, &QAction::triggered, this, [this] { N2Click(); });
    connect(ui_.N7, &QAction::triggered, this, [this] { N7Click(); });
    connect(ui_.N9, &QAction::triggered, this, [this] { N9Click(); });
    connect(ui_.N10, &QAction::triggered, this, [this] { N10Click(); });
    connect(ui_.TButton1, &QAction::triggered, this, [this] { TButton1Click(); });

    connect(ui_.ComboBox4, &QComboBox::activated, this, [this] { ComboBox4Change(); });
    connect(ui_.Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(ui_.Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(ui_.Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(ui_.ListBox1, &QListWidget::itemClicked, this, [this] { ListBox1DblClick(); });
    connect(ui_.ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
}

void TForm1::attachSettingsPanel(SettingsPanelBase* panel) {
    panel_ = panel;
    if (!panel_)
        return;
    panel_->setParent(ui_.ClientArea);
    panel_->setGeometry(ui_.ClientArea->rect());
    panel_->hide();
    connect(panel_, &SettingsPanelBase::applied, this, [this] { FormShow(); });
}

void TForm1::attachWindows(QDialog* about, QDialog* accounts, QDialog* database) {
    about_ = about;
    accounts_ = accounts;
    database_ = database;
}

void TForm1::runModal(QDialog* dialog) {
    if (dialog)
        modalRunner_(*dialog);
}

template <typename Work> bool TForm1::guarded(Work work) {
    try {
        work();
        return true;
    } catch (const OperationFailure& e) {
        prompt_.inform(e.message());
        return false;
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_.ClientArea && event->type() == QEvent::Resize && panel_)
        panel_->setGeometry(ui_.ClientArea->rect());
    return QMainWindow::eventFilter(watched, event);
}

QString TForm1::pathnaim(const QString& path) {
    return configurator::pathnaim(path);
}

QString TForm1::filenaim(const QString& path) {
    return configurator::filenaim(path);
}

QByteArray TForm1::selectorText() const {
    return fromUnicode(ui_.ComboBox1->currentText());
}

QByteArray TForm1::objectWord() const {
    return config::objectWord(*file_.snapshot());
}

QByteArray TForm1::search_sect(const QByteArray& name) const {
    const std::optional<int> n = config::findObjectByName(*file_.snapshot(), name);
    return n ? config::objectSection(*n) : QByteArray();
}

QByteArray TForm1::search_pool() const {
    const std::optional<int> n = config::firstFreeObject(*file_.snapshot());
    return n ? config::objectSection(*n) : QByteArray();
}

// One parse of the file serves the whole refresh: right after a save the file
// is too young for its parse to be kept (see ini::IniFile), so every further
// snapshot would read and parse it again.
void TForm1::FormShow() {
    const auto doc = file_.snapshot();

    ui_.GroupBox2->adjustSize();
    const int portWidth = panel_ ? panel_->portGroupWidth() : 0;
    resize(portWidth + ui_.GroupBox2->width() + 40, ui_.GroupBox2->height() + 130);

    if (panel_)
        panel_->loadPortSettings(*doc);

    // Bank0 is listed too, though no search finds it.
    const QString kept = ui_.ComboBox1->currentText();
    ui_.ComboBox1->clear();
    for (int n = 0; n <= config::LastObject; ++n) {
        const QByteArray section = "Bank" + QByteArray::number(n);
        if (doc->hasSection(section))
            ui_.ComboBox1->addItem(toUnicode(config::objectName(*doc, section)));
    }
    ui_.ComboBox1->setEditText(kept);

    if (!objectChosenOnce_ && ui_.ComboBox1->count() > 0 && !ui_.ComboBox1->itemText(0).isEmpty()) {
        ui_.ComboBox1->setEditText(ui_.ComboBox1->itemText(0));
        chooseObject(*doc);
        objectChosenOnce_ = true;
    }

    if (panel_)
        panel_->loadSignalNames(*doc);

    const QString word = toUnicode(config::objectWord(*doc));
    ui_.Label5->setText(QStringLiteral("Наименование ") + word + QLatin1Char('a'));
    const auto& allSignals = config::signalList();
    for (size_t i = 0; i < allSignals.size(); ++i) {
        pollBoxes_[i]->setText(toUnicode(
            doc->value(config::BaseStation, allSignals[i].displayNameKey())
                .value_or(config::configurator::defaultDisplayName(allSignals[i], true))));
    }
    rebuildRuleLists(ruleLists(*doc));
    ui_.GroupBox2->setTitle(word + QStringLiteral("а"));
    ui_.N1->setTitle(word);
}

void TForm1::ComboBox1Change() {
    chooseObject(*file_.snapshot());
}

void TForm1::chooseObject(const ini::IniDocument& doc) {
    const QByteArray name = selectorText();
    const std::optional<int> n = config::findObjectByName(doc, name);
    const ObjectConfig object = config::loadObject(doc, n ? config::objectSection(*n) : "");
    // A name typed by hand that no object has fills no field; the rest shows
    // its defaults.
    if (object.name == name)
        showObjectFields(object);
    showTestFields(object);
    showRuleLines(object.rules);
}

void TForm1::showObjectFields(const ObjectConfig& object) {
    ui_.Edit4->setText(toUnicode(object.name));
    ui_.Edit5->setText(toUnicode(object.phone));
    ui_.Edit27->setText(toUnicode(object.phoneSec));
    ui_.Edit6->setText(toUnicode(object.address));
    ui_.Edit7->setText(toUnicode(object.password));
    ui_.Edit26->setText(toUnicode(object.dtmfPassword));
    for (size_t i = 0; i < pollBoxes_.size(); ++i)
        pollBoxes_[i]->setChecked(object.polled[i]);
}

void TForm1::showTestFields(const ObjectConfig& object) {
    ui_.CheckBox3->setChecked(object.alarmWithoutTest);
    ui_.MaskEdit5->setText(toUnicode(object.toleranceMinutes));
    for (size_t k = 0; k < timeFields_.size(); ++k) {
        daySelectors_[k]->setCurrentIndex(object.testPoints[k].dayKind);
        timeFields_[k]->setText(toUnicode(object.testPoints[k].time));
    }
}

ObjectConfig TForm1::objectFromFields() const {
    ObjectConfig o;
    o.name = fromUnicode(ui_.Edit4->text());
    o.phone = fromUnicode(ui_.Edit5->text());
    o.phoneSec = fromUnicode(ui_.Edit27->text());
    o.address = fromUnicode(ui_.Edit6->text());
    o.password = fromUnicode(ui_.Edit7->text());
    o.dtmfPassword = fromUnicode(ui_.Edit26->text());
    for (size_t i = 0; i < pollBoxes_.size(); ++i)
        o.polled[i] = pollBoxes_[i]->isChecked();
    o.alarmWithoutTest = ui_.CheckBox3->isChecked();
    o.toleranceMinutes = fromUnicode(ui_.MaskEdit5->text());
    for (size_t k = 0; k < timeFields_.size(); ++k) {
        // The selectors hold only their two entries.
        o.testPoints[k].dayKind = std::max(daySelectors_[k]->currentIndex(), 0);
        o.testPoints[k].time = fiveCharacterTime(timeFields_[k]->text());
    }
    o.rules = ruleLines();
    return o;
}

void TForm1::Button2Click() {
    const QByteArray name = selectorText();
    const ObjectConfig object = objectFromFields();
    if (!search_sect(name).isEmpty()) {
        // One replace of the file: a station reading meanwhile sees the old
        // section or the new one, never none.
        const bool saved = guarded([&] {
            file_.update([&](ini::IniDocument& doc) {
                if (const std::optional<int> n = config::findObjectByName(doc, name))
                    config::saveObject(doc, config::objectSection(*n), object);
            });
        });
        if (!saved)
            return;
    }
    FormShow();
    ui_.ComboBox1->setEditText(ui_.Edit4->text());
}

void TForm1::Button1Click() {
    const auto doc = file_.snapshot();
    const QString word = toUnicode(config::objectWord(*doc));
    const std::optional<int> free = config::firstFreeObject(*doc);
    if (!free) {
        prompt_.inform(QStringLiteral("Заняты все %1 мест: новый %2 не добавлен.")
                           .arg(config::LastObject)
                           .arg(word));
        return;
    }
    const QByteArray section = config::objectSection(*free);
    prompt_.inform(toUnicode(section));

    const QByteArray newName = text::cp("Новый ") + config::objectWord(*doc);
    for (int n = config::FirstObject; n <= config::LastObject; ++n) {
        const QByteArray& other = config::objectSection(n);
        if (doc->hasSection(other) && config::objectName(*doc, other) == newName) {
            prompt_.inform(word + QStringLiteral("  таким именем уже имеется!\n") + word +
                           QStringLiteral("ы не могут иметь одинаковые имена!"));
            return;
        }
    }

    // The name, then the object as the editor loads it with every default,
    // saved: one replace of the file.
    const bool added = guarded([&] {
        file_.update([&](ini::IniDocument& doc) {
            doc.setValue(section, config::key::Name, newName);
            config::saveObject(doc, section, config::loadObject(doc, section));
        });
    });
    if (!added)
        return;
    ui_.ComboBox1->setEditText(toUnicode(newName));
    ComboBox1Change();
    FormShow();
    ui_.ComboBox1->setEditText(ui_.Edit4->text());
}

void TForm1::Button3Click() {
    const QByteArray name = selectorText();
    for (int n = config::FirstObject; n <= config::LastObject; ++n) {
        const QByteArray& section = config::objectSection(n);
        const auto doc = file_.snapshot();
        if (!doc->hasSection(section) || config::objectName(*doc, section) != name)
            continue;
        if (!prompt_.confirm(QStringLiteral("Вы действительно хотите удалить конфигурацию ") +
                             toUnicode(config::objectWord(*doc)) + QStringLiteral("а ") +
                             ui_.ComboBox1->currentText()))
            return;
        if (!guarded([&] { file_.update([&](ini::IniDocument& d) { d.removeSection(section); }); }))
            return;
    }
    FormShow();
    if (ui_.ComboBox1->count() > 0 && !ui_.ComboBox1->itemText(0).isEmpty()) {
        ui_.ComboBox1->setEditText(ui_.ComboBox1->itemText(0));
        ComboBox1Change();
    }
}

void TForm1::TButton1Click() {
    if (!panel_)
        return;
    panel_->setGeometry(ui_.ClientArea->rect());
    panel_->show();
    panel_->raise();
}

// Event rule editor.

RuleLists TForm1::currentRuleLists() const {
    return ruleLists(*file_.snapshot());
}

void TForm1::rebuildRuleLists(const RuleLists& lists) {
    ui_.ComboBox4->clear();
    for (const QByteArray& entry : lists.sources)
        ui_.ComboBox4->addItem(toUnicode(entry));
    ui_.ComboBox6->clear();
    for (const QByteArray& entry : lists.targets)
        ui_.ComboBox6->addItem(toUnicode(entry));
    ui_.ComboBox4->setCurrentIndex(0);
    ui_.ComboBox6->setCurrentIndex(0);
    showSource(lists);
}

void TForm1::ComboBox4Change() {
    showSource(currentRuleLists());
}

void TForm1::showSource(const RuleLists& lists) {
    SourceView view;
    view.stateVisible = !ui_.ComboBox5->isHidden();
    view.alarmEnabled = ui_.CheckBox5->isEnabled();
    view.timeVisible = !ui_.RxSpinEdit1->isHidden();
    view = sourceView(lists, fromUnicode(ui_.ComboBox4->currentText()), view);

    ui_.ComboBox5->clear();
    for (const QByteArray& state : view.states)
        ui_.ComboBox5->addItem(toUnicode(state));
    ui_.ComboBox5->setEditText(toUnicode(view.state));
    ui_.Label33->setVisible(view.stateVisible);
    ui_.ComboBox5->setVisible(view.stateVisible);
    ui_.CheckBox5->setEnabled(view.alarmEnabled);
    for (QWidget* w :
         {static_cast<QWidget*>(ui_.HoursLabel), static_cast<QWidget*>(ui_.MinutesSpinLabel),
          static_cast<QWidget*>(ui_.SecondsLabel), static_cast<QWidget*>(ui_.RxSpinEdit1),
          static_cast<QWidget*>(ui_.RxSpinEdit2), static_cast<QWidget*>(ui_.RxSpinEdit3)})
        w->setVisible(view.timeVisible);
}

rules::RuleRecord TForm1::recordFromControls() const {
    RuleControls c;
    c.alarm = ui_.CheckBox5->isChecked() && ui_.CheckBox5->isEnabled();
    c.source = fromUnicode(ui_.ComboBox4->currentText());
    c.stateVisible = !ui_.ComboBox5->isHidden();
    c.state = fromUnicode(ui_.ComboBox5->currentText());
    c.hours = ui_.RxSpinEdit1->value();
    c.minutes = ui_.RxSpinEdit2->value();
    c.seconds = ui_.RxSpinEdit3->value();
    c.target = fromUnicode(ui_.ComboBox6->currentText());
    c.targetState = fromUnicode(ui_.ComboBox7->currentText());
    c.confirm = ui_.CheckBox6->isChecked() && ui_.CheckBox6->isEnabled();
    c.active = ui_.CheckBox7->isChecked();
    c.description = fromUnicode(ui_.Edit23->text());
    return buildRule(currentRuleLists(), c);
}

void TForm1::addRuleLine(const QByteArray& record) {
    auto* item = new QListWidgetItem(toUnicode(record));
    item->setData(RecordRole, record);
    ui_.ListBox1->addItem(item);
}

QList<QByteArray> TForm1::ruleLines() const {
    QList<QByteArray> lines;
    for (int i = 0; i < ui_.ListBox1->count(); ++i)
        lines.append(ui_.ListBox1->item(i)->data(RecordRole).toByteArray());
    return lines;
}

int TForm1::currentRuleLine() const {
    // With no current line the list reports its first one.
    return std::max(ui_.ListBox1->currentRow(), 0);
}

void TForm1::put(int mode) {
    const QByteArray record = recordFromControls().format();
    if (mode == 0) {
        addRuleLine(record);
        return;
    }
    QListWidgetItem* item = ui_.ListBox1->item(currentRuleLine());
    if (!item)
        return;
    item->setText(toUnicode(record));
    item->setData(RecordRole, record);
}

void TForm1::Button6Click() {
    if (ui_.ListBox1->count() == 0) {
        prompt_.inform(QStringLiteral("Выберите событие для изменения!"));
        return;
    }
    put(1);
    ui_.ListBox1->setFocus();
}

void TForm1::Button7Click() {
    delete ui_.ListBox1->takeItem(ui_.ListBox1->currentRow());
}

void TForm1::cb5cb7(int mode, const QByteArray& value, const QByteArray& description) {
    (mode == 1 ? ui_.ComboBox5 : ui_.ComboBox7)->setEditText(toUnicode(value));
    ui_.Edit23->setText(toUnicode(description));
}

void TForm1::ListBox1DblClick() {
    if (ui_.ListBox1->count() == 0) {
        prompt_.inform(QStringLiteral("Выберите событие для изменения!"));
        return;
    }
    const QByteArray line = ui_.ListBox1->item(currentRuleLine())->data(RecordRole).toByteArray();
    const rules::RuleRecord record = rules::RuleRecord::parse(line);
    const RuleLists lists = currentRuleLists();
    const ShownRule shown = showRule(lists, record);

    ui_.CheckBox5->setChecked(shown.alarm);
    ui_.CheckBox6->setChecked(shown.confirm);
    if (shown.active)
        ui_.CheckBox7->setChecked(*shown.active);
    if (shown.source >= 0) {
        ui_.ComboBox4->setCurrentIndex(shown.source);
        showSource(lists);
        if (shown.source == source::Time) {
            ui_.RxSpinEdit1->setValue(shown.hours);
            ui_.RxSpinEdit2->setValue(shown.minutes);
            ui_.RxSpinEdit3->setValue(shown.seconds);
        } else {
            cb5cb7(1, shown.state, shown.description);
        }
    }
    if (shown.target >= 0) {
        ui_.ComboBox6->setCurrentIndex(shown.target);
        cb5cb7(2, shown.targetState, shown.description);
    }
    ui_.Edit23->setText(toUnicode(shown.description));
}

void TForm1::lb_upd() {
    const auto doc = file_.snapshot();
    const std::optional<int> n = config::findObjectByName(*doc, selectorText());
    showRuleLines(n ? rules::configuratorRules(*doc, config::objectSection(*n))
                    : QList<QByteArray>());
}

void TForm1::showRuleLines(const QList<QByteArray>& records) {
    ui_.ListBox1->clear();
    for (const QByteArray& record : records)
        addRuleLine(record);
}

} // namespace tirvon::configurator
