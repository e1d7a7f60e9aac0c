#include "scriptedprompter.h"

ScriptedPrompter::ScriptedPrompter() { ui::setPrompter(this); }

ScriptedPrompter::~ScriptedPrompter() { ui::setPrompter(nullptr); }

ui::Button ScriptedPrompter::ask(const ui::Prompt &prompt)
{
    prompts.append(prompt);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return prompt.defaultButton != ui::NoButton ? prompt.defaultButton : ui::firstButton(prompt.buttons);
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const ui::Prompt &p : prompts)
        out << p.text;
    return out;
}
