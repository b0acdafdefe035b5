// A long text in a scrollable, read-only field with Continue (accepts) and
// Cancel (rejects); the close button and Escape reject too.
#pragma once

#include <QDialog>

#include "app/ScrollDialogForm.h"

class ScrollDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScrollDialog(QWidget* parent = nullptr);

    // Shows text that may be rich text (recognised by its look).
    void setText(const QString& text);
    // Shows text exactly as written: names read from files must never be
    // taken for markup.
    void setPlainText(const QString& text);

private:
    Ui::ScrollDialog ui;
};
