#include "ui/keychain.h"

#include <QEvent>
#include <QHash>
#include <QKeyEvent>
#include <QPointer>

namespace ui {

namespace {

// Lives as a child of the watched widget; one per widget, holding all its key actions.
class KeyRouter : public QObject {
public:
    explicit KeyRouter(QWidget *watched) : QObject(watched)
    {
        setObjectName(QLatin1String(kName));
        watched->installEventFilter(this);
    }

    static KeyRouter *of(QWidget *w)
    {
        // Found by name: the class has no meta-object of its own to search by.
        if (QObject *existing = w->findChild<QObject *>(QLatin1String(kName), Qt::FindDirectChildrenOnly))
            return static_cast<KeyRouter *>(existing);
        return new KeyRouter(w);
    }

    static constexpr const char *kName = "ui_keyrouter";

    QHash<int, std::function<void()>> actions;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        int code = key->key();
        if (code == Qt::Key_Enter)
            code = Qt::Key_Return;
        const auto it = actions.constFind(code);
        if (it == actions.constEnd())
            return false;
        const std::function<void()> action = *it; // the action may replace the table
        action();
        return true;
    }
};

} // namespace

void onKey(QWidget *from, int key, std::function<void()> action)
{
    KeyRouter::of(from)->actions.insert(key == Qt::Key_Enter ? int(Qt::Key_Return) : key, std::move(action));
}

void focusOnKey(QWidget *from, int key, QWidget *to)
{
    QPointer<QWidget> target(to);
    onKey(from, key, [target] {
        if (target)
            target->setFocus(Qt::OtherFocusReason);
    });
}

void enterChain(const QList<QWidget *> &chain)
{
    for (int i = 0; i + 1 < chain.size(); ++i)
        focusOnKey(chain[i], Qt::Key_Return, chain[i + 1]);
}

} // namespace ui
