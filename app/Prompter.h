#pragma once
// Every message box and file or folder dialog of the main window goes through
// a Prompter: the program shows the real dialogs (QtPrompter); tests give
// scripted answers and keep what was asked.
#include <QMessageBox>
#include <QString>

class QWidget;

class Prompter {
public:
    virtual ~Prompter() = default;

    // A message box with the icon, title, text and buttons; the answer.
    virtual QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                                const QString& text, QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) = 0;
    virtual void about(QWidget* parent, const QString& title, const QString& text) = 0;
    // The chosen path; empty when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    // `selectedFilter` comes in as the filter to preselect and goes out as
    // the one the user chose.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& path,
                                 const QString& filter, QString* selectedFilter) = 0;
    virtual QString existingFolder(QWidget* parent, const QString& caption, const QString& folder) = 0;
    // A long plain text with Continue and Cancel (a ScrollDialog); true on
    // Continue.
    virtual bool scrollText(QWidget* parent, const QString& title, const QString& text) = 0;

    // The overwrite question of a folder run: a warning box titled "Phrasor"
    // with Yes, Yes to All, Save (shown as "&Rename"), No and Cancel, Yes the
    // default and Cancel the escape; a box closed without a button answers
    // Cancel.
    virtual QMessageBox::StandardButton overwrite(QWidget* parent, const QString& text);
    // The confirmation before a folder run (a ConfirmationDialog): true when
    // accepted, and then `skipErrors` holds the state of "Skip Errors".
    virtual bool confirmFolder(QWidget* parent, bool* skipErrors) = 0;

    // The critical box of a failed check: title "Phrasor", button OK.
    void critical(QWidget* parent, const QString& text);
};

// The real Qt dialogs.
class QtPrompter : public Prompter {
public:
    QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                        const QString& text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    void about(QWidget* parent, const QString& title, const QString& text) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& path, const QString& filter,
                         QString* selectedFilter) override;
    QString existingFolder(QWidget* parent, const QString& caption, const QString& folder) override;
    bool scrollText(QWidget* parent, const QString& title, const QString& text) override;
    QMessageBox::StandardButton overwrite(QWidget* parent, const QString& text) override;
    bool confirmFolder(QWidget* parent, bool* skipErrors) override;
};
