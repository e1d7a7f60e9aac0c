#include "ui/windowhabits.h"

#include "ui/dates.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QKeyEvent>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace ui {

namespace {

// The caption without its access key: "退出(&X)" reads "退出(X)", "退出" stays.
QString plainCaption(const QAbstractButton *button)
{
    QString text = button->text();
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

// A window of the program's own: not a dialog (message boxes, file dialogs and the like place
// themselves over their parent and take Escape as their cancel), not a popup or a tool tip.
bool isProgramWindow(const QWidget *w)
{
    if (!w->isWindow() || qobject_cast<const QDialog *>(w))
        return false;
    const Qt::WindowType type = w->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

void setUpDatePickers(QWidget *window)
{
    static const char kDone[] = "lanshiDateForm";
    for (QDateEdit *picker : window->findChildren<QDateEdit *>()) {
        if (picker->window() != window || picker->property(kDone).toBool())
            continue;
        setUpDatePicker(picker);
        picker->setProperty(kDone, true);
    }
}

} // namespace

QRect placeOver(const QRect &frame, const QRect &opener, const QRect &screen)
{
    QRect r(QPoint(0, 0), frame.size().boundedTo(screen.size()));
    r.moveCenter(opener.center());
    if (r.right() > screen.right())
        r.moveRight(screen.right());
    if (r.bottom() > screen.bottom())
        r.moveBottom(screen.bottom());
    if (r.left() < screen.left())
        r.moveLeft(screen.left());
    if (r.top() < screen.top())
        r.moveTop(screen.top());
    return r;
}

void placeOverOpener(QWidget *window, QWidget *opener)
{
    QScreen *screen = opener->screen() ? opener->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const auto frameOf = [](const QWidget *w) {
        const QRect outer = w->frameGeometry(), inner = w->geometry();
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                        outer.bottom() - inner.bottom());
    };
    // A window not yet shown has no frame to measure; the opener's title bar and borders are
    // what the window manager will give it too.
    QMargins frame = frameOf(window);
    if (frame.isNull())
        frame = frameOf(opener);
    const QRect wanted = QRect(QPoint(0, 0), window->size()).marginsAdded(frame);
    const QRect placed = placeOver(wanted, opener->frameGeometry(), screen->availableGeometry());
    if (placed.size() != wanted.size())
        window->resize(placed.marginsRemoved(frame).size().expandedTo(window->minimumSize()));
    window->move(placed.topLeft());
}

QAbstractButton *escapeButton(QWidget *window)
{
    const QList<QAbstractButton *> buttons = window->findChildren<QAbstractButton *>();
    for (const char *caption : {"退出", "取消"}) {
        const QString wanted = QString::fromUtf8(caption);
        for (QAbstractButton *b : buttons)
            if (b->window() == window && b->isVisibleTo(window) && b->isEnabled()
                && plainCaption(b).startsWith(wanted))
                return b;
    }
    return nullptr;
}

WindowHabits::WindowHabits(QObject *parent) : QObject(parent) { qApp->installEventFilter(this); }

WindowHabits::~WindowHabits() { qApp->removeEventFilter(this); }

bool WindowHabits::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return false;
    auto *w = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::Show: {
        if (event->spontaneous() || !w->isWindow())
            break;
        setUpDatePickers(w);
        QWidget *opener = w->parentWidget() ? w->parentWidget()->window() : nullptr;
        // A window its own code has moved keeps its place (WA_Moved); the placement itself
        // does not count as such a move, so the next opening is placed again.
        if (isProgramWindow(w) && opener && opener->isVisible() && !w->testAttribute(Qt::WA_Moved)) {
            placeOverOpener(w, opener);
            w->setAttribute(Qt::WA_Moved, false);
            // A window whose activation fills its fields may grow once its layout catches up:
            // placed again then, unless it has been moved in between.
            const QPoint placedAt = w->pos();
            const QSize placedSize = w->size();
            QTimer::singleShot(0, w, [w, opener = QPointer<QWidget>(opener), placedAt, placedSize] {
                if (opener && w->isVisible() && w->pos() == placedAt && w->size() != placedSize) {
                    placeOverOpener(w, opener);
                    w->setAttribute(Qt::WA_Moved, false);
                }
            });
        }
        break;
    }
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        // Only once the key has come up to the window: no control of it took it.
        if (key->key() != Qt::Key_Escape || key->isAutoRepeat()
            || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || !isProgramWindow(w))
            break;
        if (QAbstractButton *button = escapeButton(w))
            button->click();
        else
            w->close();
        return true;
    }
    default:
        break;
    }
    return false;
}

} // namespace ui
