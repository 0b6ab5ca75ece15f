#pragma once

#include <QString>

class QWidget;

namespace tirvon::ui {

// Every message box, confirmation and file dialog of the programs goes through
// this seam, so that tests can answer them without a modal loop.
class Prompt {
public:
    virtual ~Prompt() = default;
    virtual void inform(const QString& text) = 0;
    // OK/Cancel; true for OK.
    virtual bool confirm(const QString& text) = 0;
    // A file to open, the dialog starting in the given folder; an empty result
    // when the dialog was cancelled.
    virtual QString pickFile(const QString& filter, const QString& folder = QString()) = 0;
    // A file to write, the dialog proposing the given path; empty when cancelled.
    virtual QString pickSaveFile(const QString& filter, const QString& proposed) = 0;
};

// The real dialogs, over the given parent window.
class DialogPrompt : public Prompt {
public:
    explicit DialogPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void inform(const QString& text) override;
    bool confirm(const QString& text) override;
    QString pickFile(const QString& filter, const QString& folder = QString()) override;
    QString pickSaveFile(const QString& filter, const QString& proposed) override;

private:
    QWidget* parent_;
};

} // namespace tirvon::ui
