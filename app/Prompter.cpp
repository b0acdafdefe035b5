#include "app/Prompter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <QPushButton>

#include "app/ConfirmationDialog.h"
#include "app/ScrollDialog.h"

namespace {

const QMessageBox::StandardButtons kOverwriteButtons =
    QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::Save | QMessageBox::No | QMessageBox::Cancel;

}  // namespace

QMessageBox::StandardButton Prompter::overwrite(QWidget* parent, const QString& text) {
    return message(parent, QMessageBox::Warning, QStringLiteral("Phrasor"), text, kOverwriteButtons,
                   QMessageBox::Yes);
}

void Prompter::critical(QWidget* parent, const QString& text) {
    message(parent, QMessageBox::Critical, QStringLiteral("Phrasor"), text, QMessageBox::Ok, QMessageBox::NoButton);
}

QMessageBox::StandardButton QtPrompter::message(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                                const QString& text, QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

void QtPrompter::about(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::about(parent, title, text);
}

QString QtPrompter::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString QtPrompter::saveFileName(QWidget* parent, const QString& caption, const QString& path,
                                 const QString& filter, QString* selectedFilter) {
    QFileDialog dialog(parent, caption, path, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Choosing a filter, also the preselected one, gives the name in the
    // dialog the filter's suffix ("mid"): the proposed name is shown again
    // afterwards, and keeps its own suffix's letter case ("MID") when the
    // user picks another filter, so that the name accepted is the name
    // proposed.
    if (selectedFilter && !selectedFilter->isEmpty()) dialog.selectNameFilter(*selectedFilter);
    dialog.selectFile(path);
    const QFileInfo proposed(path);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, proposed] {
        const QFileInfo shown(dialog.selectedFiles().value(0));
        if (shown.completeBaseName() == proposed.completeBaseName() && shown.suffix() != proposed.suffix() &&
            shown.suffix().compare(proposed.suffix(), Qt::CaseInsensitive) == 0)
            dialog.selectFile(shown.dir().filePath(proposed.fileName()));
    });
    if (dialog.exec() != QDialog::Accepted) return QString();
    if (selectedFilter) *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().value(0);
}

QString QtPrompter::existingFolder(QWidget* parent, const QString& caption, const QString& folder) {
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

bool QtPrompter::scrollText(QWidget* parent, const QString& title, const QString& text) {
    ScrollDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setPlainText(text);
    return dialog.exec() == QDialog::Accepted;
}

QMessageBox::StandardButton QtPrompter::overwrite(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Phrasor"), text, kOverwriteButtons, parent);
    box.button(QMessageBox::Save)->setText(QObject::tr("&Rename"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    return clicked ? box.standardButton(clicked) : QMessageBox::Cancel;
}

bool QtPrompter::confirmFolder(QWidget* parent, bool* skipErrors) {
    ConfirmationDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (skipErrors) *skipErrors = dialog.skipErrors();
    return true;
}
