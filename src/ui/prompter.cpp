#include "ui/prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace ui {

namespace {
Prompter *g_prompter = nullptr;

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

struct Pair { Button ours; QMessageBox::StandardButton qt; };
const Pair kButtons[] = {
    {Ok, QMessageBox::Ok}, {Yes, QMessageBox::Yes}, {No, QMessageBox::No}, {Cancel, QMessageBox::Cancel}};
} // namespace

Button firstButton(Buttons buttons)
{
    for (const Pair &p : kButtons)
        if (buttons & p.ours)
            return p.ours;
    return Ok;
}

QString Prompt::captionOf(Button b) const
{
    switch (b) {
    case Ok: return okCaption;
    case Yes: return yesCaption;
    case No: return noCaption;
    case Cancel: return cancelCaption;
    case NoButton: break;
    }
    return QString();
}

Button MessageBoxPrompter::ask(const Prompt &prompt)
{
    QMessageBox box(toQt(prompt.icon), prompt.title, prompt.text, QMessageBox::NoButton, prompt.parent);
    const Buttons offered = prompt.buttons ? prompt.buttons : Buttons(Ok);
    for (const Pair &p : kButtons) {
        if (!(offered & p.ours))
            continue;
        QPushButton *button = box.addButton(p.qt);
        const QString caption = prompt.captionOf(p.ours);
        if (!caption.isEmpty()) {
            button->setText(caption);
            button->setIcon(QIcon()); // the yes/no symbols would say something else
        }
    }
    const Button def = prompt.defaultButton != NoButton ? prompt.defaultButton : firstButton(offered);
    for (const Pair &p : kButtons)
        if (p.ours == def)
            box.setDefaultButton(p.qt);
    if (prompt.centredOnScreen) {
        box.adjustSize();
        if (QScreen *screen = QGuiApplication::primaryScreen())
            box.move(screen->availableGeometry().center() - box.rect().center());
    }
    const int answer = box.exec();
    for (const Pair &p : kButtons)
        if (answer == p.qt)
            return p.ours;
    // Escape or the close box: the Cancel or No button when offered, else the only button.
    if (offered & Cancel)
        return Cancel;
    if (offered & No)
        return No;
    return firstButton(offered);
}

Prompter &prompter()
{
    static MessageBoxPrompter boxes;
    return g_prompter ? *g_prompter : boxes;
}

void setPrompter(Prompter *p) { g_prompter = p; }

Button ask(QWidget *parent, const QString &text, const QString &title, Buttons buttons, Icon icon,
           Button defaultButton)
{
    Prompt p;
    p.text = text;
    p.title = title;
    p.buttons = buttons;
    p.icon = icon;
    p.defaultButton = defaultButton;
    p.parent = parent;
    return prompter().ask(p);
}

} // namespace ui
