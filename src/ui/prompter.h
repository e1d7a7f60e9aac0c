#pragma once
// The one seam through which every window asks the user something or tells him something.

#include <QString>

class QWidget;

namespace ui {

enum class Icon { None, Information, Question, Warning, Critical };

// Buttons a prompt offers and the answer it returns; combine with |.
enum Button : unsigned {
    NoButton = 0,
    Ok = 1u << 0,
    Cancel = 1u << 1,
    Yes = 1u << 2,
    No = 1u << 3,
};
using Buttons = unsigned;

struct Prompt {
    QString text;
    QString title;
    Buttons buttons = Ok;
    Icon icon = Icon::None;
    Button defaultButton = NoButton; // NoButton: the first offered button
    QWidget *parent = nullptr;
    bool centredOnScreen = false;    // some completion messages stand in the middle of the screen
    // Captions in place of the standard ones (是, 否, 取消, 确定) where a question offers choices
    // that are not a yes or a no; empty: the standard caption.
    QString okCaption, yesCaption, noCaption, cancelCaption;

    QString captionOf(Button b) const;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Button ask(const Prompt &prompt) = 0;
};

// Shows QMessageBox; the application's prompter.
class MessageBoxPrompter : public Prompter {
public:
    Button ask(const Prompt &prompt) override;
};

// The prompter in force. Tests install a scripted one; nullptr restores the message boxes.
Prompter &prompter();
void setPrompter(Prompter *p);

// Short forms for the common calls.
Button ask(QWidget *parent, const QString &text, const QString &title, Buttons buttons = Ok,
           Icon icon = Icon::None, Button defaultButton = NoButton);
inline void tell(QWidget *parent, const QString &text, const QString &title, Icon icon = Icon::None)
{
    ask(parent, text, title, Ok, icon);
}

// The first button in the order Ok, Yes, No, Cancel that the set contains.
Button firstButton(Buttons buttons);

} // namespace ui
