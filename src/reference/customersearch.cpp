#include "reference/customersearch.h"

#include "reference/forms.h"
#include "store/gridmodel.h"
#include "store/statements.h"
#include "text/numbers.h"
#include "text/readings.h"
#include "ui/gridbinding.h"
#include "ui/prompter.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace reference {

store::GridColumn initialsColumn()
{
    return {QStringLiteral("gsmcdyzm"), QStringLiteral("简称"),
            [](const QVariant &sets) { return text::commonInitials(sets.toString()); }};
}

CustomerSearch::CustomerSearch(store::Connection &connection, CustomerSearchSetup setup, QObject *parent)
    : QObject(parent), m_setup(std::move(setup)), m_customers(connection)
{
    m_customers.setStatement(store::statements::customers());
    if (!m_customers.refresh())
        reportDataError(m_setup.window, QStringLiteral("客户查询"), m_customers.errorText());
    m_grid = new store::GridModel(m_customers, m_setup.gridColumns, this);
    if (m_setup.grid)
        ui::bindGrid(m_setup.grid, m_grid, [this] {
            if (m_setup.takeOver)
                m_setup.takeOver();
        });
    if (m_setup.byName)
        connect(m_setup.byName, &QPushButton::clicked, this, &CustomerSearch::searchByName);
    if (m_setup.byInitials)
        connect(m_setup.byInitials, &QPushButton::clicked, this, &CustomerSearch::searchByInitials);
}

void CustomerSearch::searchByName() { search(false); }

void CustomerSearch::showAll()
{
    m_setup.searchField->clear();
    m_setup.searchField->setFocus();
    m_customers.setStatement(store::statements::customers());
    if (!m_customers.refresh())
        reportDataError(m_setup.window, QStringLiteral("客户查询"), m_customers.errorText());
    if (m_setup.takeOver)
        m_setup.takeOver();
}

void CustomerSearch::searchByInitials() { search(true); }

void CustomerSearch::search(bool byInitials)
{
    QLineEdit *field = m_setup.searchField;
    if (field->text().isEmpty()) {
        ui::tell(m_setup.window, byInitials ? m_setup.emptyInitialsMessage : m_setup.emptyNameMessage,
                 QStringLiteral("信息提示"), ui::Icon::Information);
        if (m_setup.focusSearchFieldWhenEmpty)
            field->setFocus();
        return;
    }
    // Initials typed with a Chinese input method on come as full-width letters.
    const QString s = byInitials ? text::halfWidth(field->text()).trimmed() : field->text().trimmed();
    m_customers.setStatement(byInitials ? store::statements::customersInitialsContain(s)
                                        : store::statements::customersNameContains(s));
    if (!m_customers.refresh())
        reportDataError(m_setup.window, QStringLiteral("客户查询"), m_customers.errorText());
    field->setFocus();
    if (m_customers.recordCount() == 0) {
        const ui::Button again = ui::ask(m_setup.window, QStringLiteral("没有查询到客户，是否重新查询？"),
                                         QStringLiteral("客户查询"), ui::Yes | ui::No, ui::Icon::Question);
        m_customers.setStatement(store::statements::customers());
        if (again == ui::Yes) {
            field->clear();
            field->setFocus();
            m_customers.refresh();
        } else {
            m_customers.refresh();
            if (m_setup.takeOver)
                m_setup.takeOver();
            if (m_setup.exitButton)
                m_setup.exitButton->setFocus();
        }
        return;
    }
    m_customers.refresh();
    if (m_setup.takeOver)
        m_setup.takeOver();
    if (QWidget *next = byInitials ? m_setup.focusAfterInitialsSearch : m_setup.focusAfterNameSearch)
        next->setFocus();
}

void CustomerSearch::customerPicked(const QString &name)
{
    if (m_setup.nameField)
        m_setup.nameField->setText(name);
    m_customers.setStatement(store::statements::customersBeginningWith(name));
    if (!m_customers.refresh())
        reportDataError(m_setup.window, QStringLiteral("客户查询"), m_customers.errorText());
}

} // namespace reference
