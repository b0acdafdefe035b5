#include "app/ConfirmationDialogForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

void Ui::ConfirmationDialog::setupUi(QDialog* ConfirmationDialog) {
    if (ConfirmationDialog->objectName().isEmpty())
        ConfirmationDialog->setObjectName(QString::fromUtf8("ConfirmationDialog"));
    ConfirmationDialog->resize(380, 140);
    ConfirmationDialog->setMinimumSize(380, 140);
    ConfirmationDialog->setMaximumSize(380, 140);

    layoutConfirmation = new QVBoxLayout(ConfirmationDialog);
    layoutConfirmation->setSpacing(8);
    layoutConfirmation->setObjectName(QString::fromUtf8("layoutConfirmation"));
    layoutConfirmation->setContentsMargins(8, 8, 8, 8);

    lblText = new QLabel(ConfirmationDialog);
    lblText->setObjectName(QString::fromUtf8("lblText"));
    lblText->setScaledContents(true);
    layoutConfirmation->addWidget(lblText);

    layoutHorizontal = new QHBoxLayout();
    layoutHorizontal->setSpacing(8);
    layoutHorizontal->setObjectName(QString::fromUtf8("layoutHorizontal"));
    layoutHorizontal->setContentsMargins(0, 0, 0, 0);
    layoutHorizontal->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    btnConvert = new QPushButton(ConfirmationDialog);
    btnConvert->setObjectName(QString::fromUtf8("btnConvert"));
    layoutHorizontal->addWidget(btnConvert);
    btnCancel = new QPushButton(ConfirmationDialog);
    btnCancel->setObjectName(QString::fromUtf8("btnCancel"));
    layoutHorizontal->addWidget(btnCancel);
    layoutHorizontal->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    layoutConfirmation->addLayout(layoutHorizontal);

    btnSkip = new QCheckBox(ConfirmationDialog);
    btnSkip->setObjectName(QString::fromUtf8("btnSkip"));
    layoutConfirmation->addWidget(btnSkip);

    retranslateUi(ConfirmationDialog);
}

void Ui::ConfirmationDialog::retranslateUi(QDialog* ConfirmationDialog) {
    ConfirmationDialog->setWindowTitle(QCoreApplication::translate("ConfirmationDialog", "Confirmation", nullptr));
    lblText->setText(QCoreApplication::translate("ConfirmationDialog",
                                                 "Are you sure to convert all files in this folder ?", nullptr));
    btnConvert->setText(QCoreApplication::translate("ConfirmationDialog", "Convert", nullptr));
    btnCancel->setText(QCoreApplication::translate("ConfirmationDialog", "Cancel", nullptr));
    btnSkip->setText(QCoreApplication::translate("ConfirmationDialog", "Skip Errors", nullptr));
}
