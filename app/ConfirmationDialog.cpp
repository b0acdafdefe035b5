#include "app/ConfirmationDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

void SetConfirmationPixelFont(QWidget* w) {
    QFont font = w->font();
    font.setPixelSize(12);
    w->setFont(font);
}

}  // namespace

ConfirmationDialog::ConfirmationDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint) {
    ui.setupUi(this);
    for (QWidget* w : {static_cast<QWidget*>(ui.lblText), static_cast<QWidget*>(ui.btnConvert),
                       static_cast<QWidget*>(ui.btnCancel), static_cast<QWidget*>(ui.btnSkip)})
        SetConfirmationPixelFont(w);
    connect(ui.btnConvert, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui.btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    ui.btnSkip->setChecked(true);
}

bool ConfirmationDialog::skipErrors() const { return ui.btnSkip->isChecked(); }
