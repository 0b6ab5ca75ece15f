#include "windows/TForm8.h"

#include "text/DateStamps.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

namespace tirvon::station {

namespace {

constexpr double previewZoom = 0.8;

// The PDF proposed for a report: beside the copy it was made from, named after
// the time it was made.
QString proposedPdf(const log::LogTable& copy, const QDateTime& madeAt) {
    return QFileInfo(copy.path())
        .absoluteDir()
        .filePath(QStringLiteral("Отчет ") + madeAt.toString(text::FileStampFormat) +
                  QStringLiteral(".pdf"));
}

} // namespace

TForm8::TForm8(QWidget* parent) : QWidget(parent) {
    ui_.setupUi(this);
}

void TForm8::setObjectWord(const QString& word) {
    ui_.QRLabel2->setText(word);
}

QString TForm8::objectWord() const {
    return ui_.QRLabel2->text();
}

std::unique_ptr<QPrintPreviewDialog>
TForm8::makePreview(QPrinter& printer, const ReportHeading& heading, const log::LogTable& copy,
                    const std::vector<int>& rows, StateMark& mark, ui::Prompt& prompt,
                    QWidget* parent) {
    ReportHeading shown = heading;
    shown.objectWord = objectWord();
    auto dialog = std::make_unique<QPrintPreviewDialog>(&printer, parent);
    dialog->setWindowModality(Qt::ApplicationModal);
    connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
            [shown, &copy, &rows, &mark](QPrinter* target) {
                paintReport(*target, shown, copy, rows, mark);
            });
    if (auto* view = dialog->findChild<QPrintPreviewWidget*>())
        view->setZoomFactor(previewZoom); // a custom zoom from now on
    auto* save = new QAction(QStringLiteral("Сохранить в PDF"), dialog.get());
    save->setObjectName(QStringLiteral("savePdfAction"));
    connect(save, &QAction::triggered, dialog.get(), [shown, &copy, &rows, &mark, &prompt] {
        const QString path =
            prompt.pickSaveFile(QStringLiteral("PDF (*.pdf)"), proposedPdf(copy, shown.madeAt));
        if (path.isEmpty())
            return;
        if (!saveReportPdf(path, shown, copy, rows, mark))
            prompt.inform(QStringLiteral("Не удалось записать файл ") + path);
    });
    if (auto* toolbar = dialog->findChild<QToolBar*>())
        toolbar->addAction(save);
    else
        dialog->addAction(save);
    return dialog;
}

void TForm8::preview(const ReportHeading& heading, const log::LogTable& copy,
                     const std::vector<int>& rows, StateMark& mark, ui::Prompt& prompt,
                     QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    setUpReportPage(printer);
    const auto dialog = makePreview(printer, heading, copy, rows, mark, prompt, parent);
    dialog->exec();
}

} // namespace tirvon::station
