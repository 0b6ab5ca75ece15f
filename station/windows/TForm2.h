#pragma once

#include "ui_TForm2.h"

#include "objects/ObjectView.h"

#include <QWidget>

class QAbstractButton;

namespace tirvon::station {

// The control panel of one object: its description, arming and signal states,
// test points, and the command buttons (told apart by their tag).
class TForm2 : public QWidget, public ControlPanelView {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    Ui::TForm2& ui() { return ui_; }

    void setObjectWord(const QString& word);

    // ControlPanelView (filled by f2update)
    QString armingText() const override;
    void fill(const ControlPanelData& data) override;

    // The command button with this tag; nullptr for an unknown tag.
    QAbstractButton* buttonByTag(int tag) const;

private:
    Ui::TForm2 ui_;
};

} // namespace tirvon::station
