#pragma once

#include "ui_TForm5.h"

#include "reports/Reports.h"

#include <QWidget>

namespace tirvon::station {

class TForm8;

// The reports and statistics window: it hands the operator's choices to the
// reports work area and shows the counters and marked records it gives back.
class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
    Ui::TForm5& ui() { return ui_; }

    void attach(Reports& reports, TForm8& printout, ui::Prompt& prompt);
    void setObjectWord(const QString& word);

    // The choices as the window holds them.
    ReportRequest request() const;
    void FormShow();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QCheckBox* categoryBox(int category) const;
    QLabel* counterLabel(int category) const;
    QLabel* counterValue(int category) const;

    Ui::TForm5 ui_;
    Reports* reports_ = nullptr;
    TForm8* printout_ = nullptr;
    ui::Prompt* prompt_ = nullptr;
};

} // namespace tirvon::station
