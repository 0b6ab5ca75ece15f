#include "ui/Prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace tirvon::ui {

void DialogPrompt::inform(const QString& text) {
    QMessageBox::information(parent_, QApplication::applicationDisplayName(), text);
}

bool DialogPrompt::confirm(const QString& text) {
    return QMessageBox::question(parent_, QApplication::applicationDisplayName(), text,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

QString DialogPrompt::pickFile(const QString& filter, const QString& folder) {
    return QFileDialog::getOpenFileName(parent_, QString(), folder, filter);
}

QString DialogPrompt::pickSaveFile(const QString& filter, const QString& proposed) {
    return QFileDialog::getSaveFileName(parent_, QString(), proposed, filter);
}

} // namespace tirvon::ui
