// Asked once before a whole folder is converted. Convert accepts; Cancel,
// the close button and Escape reject. "Skip Errors" starts ticked each time.
#pragma once

#include <QDialog>

#include "app/ConfirmationDialogForm.h"

class ConfirmationDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConfirmationDialog(QWidget* parent = nullptr);

    // Whether "Skip Errors" is ticked (what the folder run takes when the
    // dialog is accepted).
    bool skipErrors() const;

private:
    Ui::ConfirmationDialog ui;
};
