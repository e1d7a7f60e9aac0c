#pragma once
// A prompter for tests: answers from a script and records every prompt it was shown.

#include "ui/prompter.h"

#include <QList>
#include <QStringList>

class ScriptedPrompter : public ui::Prompter {
public:
    ScriptedPrompter();  // installs itself
    ~ScriptedPrompter() override; // restores the message boxes

    // The answers for the next prompts, in order. A prompt with no scripted answer gets the
    // prompt's default (its first button) and is recorded all the same.
    void answer(ui::Button b) { m_answers.append(b); }
    ui::Button ask(const ui::Prompt &prompt) override;

    QList<ui::Prompt> prompts;
    QStringList texts() const;
    QString lastText() const { return prompts.isEmpty() ? QString() : prompts.last().text; }
    QString lastTitle() const { return prompts.isEmpty() ? QString() : prompts.last().title; }
    void clear() { prompts.clear(); m_answers.clear(); }
    int pendingAnswers() const { return m_answers.size(); }

private:
    QList<ui::Button> m_answers;
};
