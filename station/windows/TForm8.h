#pragma once

#include "reports/ReportPrinter.h"
#include "ui/Prompt.h"
#include "ui_TForm8.h"

#include <QWidget>
#include <memory>

class QPrinter;
class QPrintPreviewDialog;

namespace tirvon::station {

// The printed report: it keeps the object word of the station for the report's
// column title and shows a report in a preview, from which the operator prints
// it or saves it as a PDF file.
class TForm8 : public QWidget {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);
    Ui::TForm8& ui() { return ui_; }

    void setObjectWord(const QString& word);
    QString objectWord() const;

    // The report of the records rows of copy in a modal preview at 80 %. The
    // column title is this window's object word, whatever heading says.
    void preview(const ReportHeading& heading, const log::LogTable& copy,
                 const std::vector<int>& rows, StateMark& mark, ui::Prompt& prompt,
                 QWidget* parent);

    // The preview dialog of preview(), not yet shown, over printer (set up for
    // the report); printer and the arguments must outlive it.
    std::unique_ptr<QPrintPreviewDialog>
    makePreview(QPrinter& printer, const ReportHeading& heading, const log::LogTable& copy,
                const std::vector<int>& rows, StateMark& mark, ui::Prompt& prompt, QWidget* parent);

private:
    Ui::TForm8 ui_;
};

} // namespace tirvon::station
