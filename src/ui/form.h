#pragma once
// Setting up a generated form (a .ui file) on its window.

class QWidget;

namespace ui {

// The form set up on its window at once, so that the window can bind its named controls in its
// constructor's member list: ui(ui::setUpForm<Ui::zpdy>(this)), m_f(*ui).
template <typename Form>
Form *setUpForm(QWidget *window)
{
    auto *form = new Form;
    form->setupUi(window);
    return form;
}

} // namespace ui
