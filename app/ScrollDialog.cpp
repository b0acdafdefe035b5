#include "app/ScrollDialog.h"

#include <QPushButton>
#include <QTextEdit>

ScrollDialog::ScrollDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint) {
    ui.setupUi(this);
    connect(ui.btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui.btnNo, &QPushButton::clicked, this, &QDialog::reject);
}

void ScrollDialog::setText(const QString& text) { ui.textEdit->setText(text); }
void ScrollDialog::setPlainText(const QString& text) { ui.textEdit->setPlainText(text); }
