#pragma once
// A prompter for the tests: every question is kept (kind, title, text,
// buttons) and answered from a script, first in first out; an unscripted
// message box answers its default button, or OK.
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "app/Prompter.h"

class RecordingPrompter : public Prompter {
public:
    struct Asked {
        QString kind;  // "message" (with the icon), "about", "open", "save", "folder", "scroll", "confirm"
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title, text;
        QMessageBox::StandardButtons buttons;
        QString path, filter, selectedFilter;  // a save dialog's proposal, filters and preselection
    };

    QMessageBox::StandardButton message(QWidget*, QMessageBox::Icon icon, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override {
        asked.push_back({"message", icon, title, text, buttons});
        if (onAsk) onAsk();
        if (!buttonAnswers.empty()) {
            const QMessageBox::StandardButton answer = buttonAnswers.front();
            buttonAnswers.pop_front();
            return answer;
        }
        return defaultButton != QMessageBox::NoButton ? defaultButton : QMessageBox::Ok;
    }
    void about(QWidget*, const QString& title, const QString& text) override {
        asked.push_back({"about", QMessageBox::NoIcon, title, text, QMessageBox::Ok});
        if (onAsk) onAsk();
    }
    QString openFileName(QWidget*, const QString& caption, const QString&, const QString&) override {
        return PathAnswer("open", caption);
    }
    QString saveFileName(QWidget*, const QString& caption, const QString& path, const QString& filter,
                         QString* selectedFilter) override {
        Asked a{"save", QMessageBox::NoIcon, caption, QString(), QMessageBox::NoButton};
        a.path = path;
        a.filter = filter;
        a.selectedFilter = selectedFilter ? *selectedFilter : QString();
        asked.push_back(a);
        if (onAsk) onAsk();
        if (!filterAnswers.empty() && selectedFilter) {
            *selectedFilter = filterAnswers.front();
            filterAnswers.pop_front();
        }
        if (pathAnswers.empty()) return QString();
        const QString answer = pathAnswers.front();
        pathAnswers.pop_front();
        return answer;
    }
    bool scrollText(QWidget*, const QString& title, const QString& text) override {
        asked.push_back({"scroll", QMessageBox::NoIcon, title, text, QMessageBox::NoButton});
        if (onAsk) onAsk();
        if (scrollAnswers.empty()) return true;
        const bool answer = scrollAnswers.front();
        scrollAnswers.pop_front();
        return answer;
    }
    QString existingFolder(QWidget*, const QString& caption, const QString&) override {
        return PathAnswer("folder", caption);
    }
    bool confirmFolder(QWidget*, bool* skipErrors) override {
        asked.push_back({"confirm", QMessageBox::NoIcon, QString(), QString(), QMessageBox::NoButton});
        if (onAsk) onAsk();
        bool accepted = true;
        if (!confirmAnswers.empty()) {
            accepted = confirmAnswers.front();
            confirmAnswers.pop_front();
        }
        if (accepted && skipErrors) *skipErrors = skipErrorsTicked;
        return accepted;
    }

    std::vector<Asked> asked;
    std::deque<QMessageBox::StandardButton> buttonAnswers;
    std::deque<QString> pathAnswers;  // empty: the user cancels
    std::deque<QString> filterAnswers;  // the filter chosen in a save dialog; none: the preselected one
    std::deque<bool> scrollAnswers;     // Continue (true) or Cancel; none: Continue
    std::deque<bool> confirmAnswers;  // the folder confirmation accepted (true); none: accepted
    bool skipErrorsTicked = true;     // "Skip Errors" when the confirmation is accepted
    std::function<void()> onAsk;      // runs inside each question, as a modal loop would

private:
    QString PathAnswer(const char* kind, const QString& caption) {
        asked.push_back({kind, QMessageBox::NoIcon, caption, QString(), QMessageBox::NoButton});
        if (onAsk) onAsk();
        if (pathAnswers.empty()) return QString();
        const QString answer = pathAnswers.front();
        pathAnswers.pop_front();
        return answer;
    }
};
