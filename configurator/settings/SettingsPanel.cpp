#include "settings/SettingsPanel.h"

#include "failure/OperationFailure.h"
#include "serial/SerialPortLink.h"
#include "text/Cp1251.h"

#include <QShowEvent>

namespace tirvon::configurator {

using text::fromUnicode;
using text::toUnicode;

namespace {
constexpr serial::PortSettings ModemTestPort{9600, false};
} // namespace

SettingsPanel::SettingsPanel(ini::IniFile& file, ui::Prompt& prompt, QString programDirectory,
                             QWidget* parent)
    : SettingsPanel(file, prompt, programDirectory,
                    std::make_unique<serial::SerialPortLink>(programDirectory, ModemTestPort),
                    std::make_unique<modem::QtEventPump>(), std::make_unique<MediaSoundPlayer>(),
                    parent) {}

SettingsPanel::SettingsPanel(ini::IniFile& file, ui::Prompt& prompt, QString programDirectory,
                             std::unique_ptr<serial::ModemLink> link,
                             std::unique_ptr<modem::EventPump> pump,
                             std::unique_ptr<SoundPlayer> player, QWidget* parent)
    : SettingsPanelBase(parent), file_(file), prompt_(prompt), link_(std::move(link)),
      pump_(std::move(pump)), player_(std::move(player)) {
    ui_.setupUi(this);
    // The panel covers the object editor beneath it.
    setAutoFillBackground(true);
    hide();
    probe_ = std::make_unique<ModemProbe>(*link_, *pump_);
    sounds_ = std::make_unique<SoundSettings>(file_, prompt_, *player_, std::move(programDirectory),
                                              static_cast<SoundView&>(*this));
    connect(ui_.Button8, &QPushButton::clicked, this, &SettingsPanel::Button8Click);
    connect(ui_.Button9, &QPushButton::clicked, this, &SettingsPanel::Button9Click);
    connect(ui_.Button10, &QPushButton::clicked, this, &SettingsPanel::Button10Click);
    connect(ui_.Button4, &QPushButton::clicked, this, &SettingsPanel::Button4Click);
    connect(ui_.SpeedButton1, &QToolButton::clicked, this, &SettingsPanel::SpeedButton1Click);
    connect(ui_.ComboBox8, &QComboBox::activated, this, &SettingsPanel::ComboBox8Change);
    connect(ui_.Play, &QPushButton::clicked, this, [this] { player_->play(); });
    connect(ui_.Stop, &QPushButton::clicked, this, [this] { player_->stop(); });
}

SettingsPanel::~SettingsPanel() = default;

std::array<QLineEdit*, 15> SettingsPanel::displayNameFields() const {
    return {ui_.Edit46, ui_.Edit47, ui_.Edit48, ui_.Edit49, ui_.Edit50,
            ui_.Edit51, ui_.Edit52, ui_.Edit53, ui_.Edit76, ui_.Edit77,
            ui_.Edit78, ui_.Edit79, ui_.Edit80, ui_.Edit81, ui_.Edit82};
}
std::array<QLineEdit*, 15> SettingsPanel::shortNameFields() const {
    return {ui_.Edit29, ui_.Edit30, ui_.Edit31, ui_.Edit32, ui_.Edit33,
            ui_.Edit34, ui_.Edit35, ui_.Edit36, ui_.Edit39, ui_.Edit40,
            ui_.Edit41, ui_.Edit42, ui_.Edit43, ui_.Edit44, ui_.Edit45};
}
std::array<QLineEdit*, 15> SettingsPanel::activeStateFields() const {
    return {ui_.Edit8,  ui_.Edit9,  ui_.Edit10, ui_.Edit11, ui_.Edit12,
            ui_.Edit13, ui_.Edit14, ui_.Edit15, ui_.Edit16, ui_.Edit17,
            ui_.Edit18, ui_.Edit19, ui_.Edit20, ui_.Edit21, ui_.Edit22};
}

void SettingsPanel::loadPortSettings(const ini::IniDocument& doc) {
    shown_ = config::loadSystemSettings(doc);
    ui_.ComboBox3->setCurrentText(toUnicode(shown_.baudRate));
    ui_.CheckBox1->setChecked(shown_.dtrControl);
    ui_.CheckBox2->setChecked(shown_.rtsControl);
    ui_.ComboBox2->setCurrentText(toUnicode(shown_.comPort));
    QLineEdit* init[] = {ui_.Edit1, ui_.Edit2, ui_.Edit3, ui_.Edit28};
    for (int n = 0; n < 4; ++n)
        init[n]->setText(toUnicode(shown_.init[n]));
}

void SettingsPanel::loadSignalNames(const ini::IniDocument& doc) {
    shown_ = config::loadSystemSettings(doc);
    const auto display = displayNameFields();
    const auto shortName = shortNameFields();
    const auto active = activeStateFields();
    for (size_t i = 0; i < display.size(); ++i) {
        display[i]->setText(toUnicode(shown_.signalNames[i].displayName));
        shortName[i]->setText(toUnicode(shown_.signalNames[i].shortName));
        active[i]->setText(toUnicode(shown_.signalNames[i].activeStateName));
    }
    ui_.Edit58->setText(toUnicode(shown_.ttime));
    ui_.Edit56->setText(toUnicode(shown_.battery));
    ui_.Edit60->setText(toUnicode(shown_.power));
    const QString type = toUnicode(shown_.controllerType);
    ui_.Label46->setText(QStringLiteral("Имя выхода в ") + type);
    ui_.Label8->setText(QStringLiteral("Имя входа в ") + type);
}

int SettingsPanel::portGroupWidth() const {
    return ui_.GroupBox1->sizeHint().width();
}

config::SystemSettings SettingsPanel::typed() const {
    config::SystemSettings s = shown_;
    s.baudRate = fromUnicode(ui_.ComboBox3->currentText());
    s.dtrControl = ui_.CheckBox1->isChecked();
    s.rtsControl = ui_.CheckBox2->isChecked();
    s.comPort = fromUnicode(ui_.ComboBox2->currentText());
    const QLineEdit* init[] = {ui_.Edit1, ui_.Edit2, ui_.Edit3, ui_.Edit28};
    for (int n = 0; n < 4; ++n)
        s.init[n] = fromUnicode(init[n]->text());
    const auto display = displayNameFields();
    const auto shortName = shortNameFields();
    const auto active = activeStateFields();
    for (size_t i = 0; i < display.size(); ++i)
        s.signalNames[i] = {fromUnicode(display[i]->text()), fromUnicode(shortName[i]->text()),
                            fromUnicode(active[i]->text())};
    s.ttime = fromUnicode(ui_.Edit58->text());
    s.battery = fromUnicode(ui_.Edit56->text());
    s.power = fromUnicode(ui_.Edit60->text());
    return s;
}

void SettingsPanel::Button9Click() {
    apply();
}

bool SettingsPanel::apply() {
    const config::SystemSettings settings = typed();
    std::optional<QByteArray> notANumber;
    try {
        // One replace of the file: what the apply writes before a field that is
        // not a number stays written, as the apply goes key by key.
        file_.update([&](ini::IniDocument& doc) {
            notANumber = config::applySystemSettings(doc, settings);
        });
    } catch (const OperationFailure& e) {
        prompt_.inform(e.message());
        return false;
    }
    if (notANumber) {
        prompt_.inform(
            QStringLiteral("'%1' is not a valid integer value").arg(toUnicode(*notANumber)));
        return false;
    }
    emit applied();
    return true;
}

void SettingsPanel::Button8Click() {
    // A failed apply keeps the panel open, with what was typed.
    if (apply())
        hide();
}

void SettingsPanel::Button4Click() {
    prompt_.inform(probe_->Button4Click(ui_.ComboBox2->currentText()));
}

void SettingsPanel::ComboBox8Change() {
    sounds_->ComboBox8Change(ui_.ComboBox8->currentIndex());
}

void SettingsPanel::SpeedButton1Click() {
    sounds_->SpeedButton1Click(ui_.ComboBox8->currentIndex());
}

void SettingsPanel::showEvent(QShowEvent* event) {
    SettingsPanelBase::showEvent(event);
    if (!event->spontaneous())
        ComboBox8Change();
}

void SettingsPanel::showPath(const QString& path) {
    ui_.Label38->setText(path);
}

void SettingsPanel::showLength(const QString& length) {
    ui_.Label31->setText(length);
}

} // namespace tirvon::configurator
