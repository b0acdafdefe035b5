#include "app/ScrollDialogForm.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QSpacerItem* ScrollDialogSpacer() { return new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum); }

}  // namespace

void Ui::ScrollDialog::setupUi(QDialog* ScrollDialog) {
    if (ScrollDialog->objectName().isEmpty()) ScrollDialog->setObjectName(QString::fromUtf8("ScrollDialog"));
    ScrollDialog->resize(400, 200);
    ScrollDialog->setMinimumSize(258, 90);
    ScrollDialog->setMaximumSize(1000, 1000);

    layoutConfirmation = new QVBoxLayout(ScrollDialog);
    layoutConfirmation->setSpacing(8);
    layoutConfirmation->setObjectName(QString::fromUtf8("layoutConfirmation"));
    layoutConfirmation->setContentsMargins(8, 8, 8, 8);

    textEdit = new QTextEdit(ScrollDialog);
    textEdit->setObjectName(QString::fromUtf8("textEdit"));
    textEdit->setStyleSheet(QString::fromUtf8("background-color: rgb(210, 210, 210);"));
    textEdit->setReadOnly(true);
    layoutConfirmation->addWidget(textEdit);

    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QString::fromUtf8("horizontalLayout"));
    horizontalLayout->addItem(ScrollDialogSpacer());
    btnOk = new QPushButton(ScrollDialog);
    btnOk->setObjectName(QString::fromUtf8("btnOk"));
    horizontalLayout->addWidget(btnOk);
    horizontalLayout->addItem(ScrollDialogSpacer());
    btnNo = new QPushButton(ScrollDialog);
    btnNo->setObjectName(QString::fromUtf8("btnNo"));
    horizontalLayout->addWidget(btnNo);
    horizontalLayout->addItem(ScrollDialogSpacer());
    layoutConfirmation->addLayout(horizontalLayout);

    retranslateUi(ScrollDialog);
}

void Ui::ScrollDialog::retranslateUi(QDialog* ScrollDialog) {
    ScrollDialog->setWindowTitle(QCoreApplication::translate("ScrollDialog", "Confirmation", nullptr));
    btnOk->setText(QCoreApplication::translate("ScrollDialog", "Continue", nullptr));
    btnNo->setText(QCoreApplication::translate("ScrollDialog", "Cancel", nullptr));
}
