// The form of the folder-conversion confirmation: a question, Convert and
// Cancel centred below it, and the "Skip Errors" box.
#pragma once

class QCheckBox;
class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace Ui {

class ConfirmationDialog {
public:
    QVBoxLayout* layoutConfirmation = nullptr;
    QLabel* lblText = nullptr;
    QHBoxLayout* layoutHorizontal = nullptr;
    QPushButton* btnConvert = nullptr;
    QPushButton* btnCancel = nullptr;
    QCheckBox* btnSkip = nullptr;

    void setupUi(QDialog* ConfirmationDialog);
    void retranslateUi(QDialog* ConfirmationDialog);
};

}  // namespace Ui
