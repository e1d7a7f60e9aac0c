#include "ui/windowhabits.h"

#include "store/companies.h"
#include "ui/dates.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <optional>

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

namespace {

// r moved into area (its top left corner at area's when r is the larger).
QRect movedInto(QRect r, const QRect &area)
{
    r.moveRight(qMin(r.right(), area.right()));
    r.moveBottom(qMin(r.bottom(), area.bottom()));
    r.moveLeft(qMax(r.left(), area.left()));
    r.moveTop(qMax(r.top(), area.top()));
    return r;
}

QMargins frameMargins(const QWidget *w)
{
    const QRect outer = w->frameGeometry(), inner = w->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

} // namespace

SideBySide placeBeside(const QSize &wanted, const QSize &minimum, const QRect &opener, const QRect &keep,
                       const QRect &screen)
{
    struct Try {
        QRect opener, window;
    };
    // The window against one side of kept, the opener moved along that axis by at most reach (its
    // sign the direction) to make room for it.
    const auto besideOf = [&](const QRect &kept, Qt::Edge side, int reach) -> std::optional<Try> {
        const bool across = side == Qt::LeftEdge || side == Qt::RightEdge;
        const int want = across ? wanted.width() : wanted.height();
        const int need = across ? minimum.width() : minimum.height();
        const auto roomAt = [&](int shift) {
            const QRect k = kept.translated(across ? QPoint(shift, 0) : QPoint(0, shift));
            switch (side) {
            case Qt::RightEdge: return screen.right() - k.right();
            case Qt::LeftEdge: return k.left() - screen.left();
            case Qt::BottomEdge: return screen.bottom() - k.bottom();
            case Qt::TopEdge: return k.top() - screen.top();
            }
            return 0;
        };
        const int direction = reach < 0 ? -1 : 1;
        int shift = 0;
        while (roomAt(shift) < want && shift != reach)
            shift += direction;
        if (roomAt(shift) < need)
            return std::nullopt;
        const QRect o = opener.translated(across ? QPoint(shift, 0) : QPoint(0, shift));
        const QRect k = kept.translated(o.topLeft() - opener.topLeft());
        QRect room = screen;
        switch (side) {
        case Qt::RightEdge: room.setLeft(k.right() + 1); break;
        case Qt::LeftEdge: room.setRight(k.left() - 1); break;
        case Qt::BottomEdge: room.setTop(k.bottom() + 1); break;
        case Qt::TopEdge: room.setBottom(k.top() - 1); break;
        }
        if (room.height() < minimum.height() || room.width() < minimum.width())
            return std::nullopt;
        QRect w(QPoint(0, 0), wanted.boundedTo(room.size()));
        w.moveCenter(k.center());
        w = movedInto(w, room);
        switch (side) {
        case Qt::RightEdge: w.moveLeft(room.left()); break;
        case Qt::LeftEdge: w.moveRight(room.right()); break;
        case Qt::BottomEdge: w.moveTop(room.top()); break;
        case Qt::TopEdge: w.moveBottom(room.bottom()); break;
        }
        return Try{o, w};
    };
    const auto area = [](const Try &t) { return qint64(t.window.width()) * t.window.height(); };
    const auto best = [&](std::initializer_list<std::optional<Try>> tries) -> std::optional<Try> {
        std::optional<Try> found;
        for (const std::optional<Try> &t : tries)
            if (t && (!found || area(*t) > area(*found)))
                found = t;
        return found;
    };
    // Beside the whole opener, the opener staying where it is, when the window has its size there;
    // else the larger of that and the room beside the controls to keep, the opener moving as far
    // as the screen lets it.
    const auto beside = [&](Qt::Edge side, int reach) {
        return besideOf(keep.isEmpty() ? opener : keep.intersected(opener), side, reach);
    };
    const std::optional<Try> outside = best({besideOf(opener, Qt::RightEdge, 0), besideOf(opener, Qt::LeftEdge, 0),
                                             besideOf(opener, Qt::BottomEdge, 0), besideOf(opener, Qt::TopEdge, 0)});
    if (outside && outside->window.size() == wanted.boundedTo(screen.size()))
        return {outside->opener, outside->window};
    if (const auto t = best({outside, beside(Qt::RightEdge, qMin(0, screen.left() - opener.left())),
                             beside(Qt::LeftEdge, qMax(0, screen.right() - opener.right())),
                             beside(Qt::BottomEdge, qMin(0, screen.top() - opener.top())),
                             beside(Qt::TopEdge, qMax(0, screen.bottom() - opener.bottom()))}))
        return {t->opener, t->window};
    return {opener, placeOver(QRect(QPoint(0, 0), wanted), opener, screen)};
}

void showBeside(QWidget *window, QWidget *opener, const QList<QWidget *> &keep)
{
    QScreen *screen = opener->screen() ? opener->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window->show();
        return;
    }
    // Controls on a page not on display have their places once its layout has been worked out.
    QRect kept;
    for (QWidget *c : keep) {
        for (QWidget *up = c; up && up != opener; up = up->parentWidget())
            if (up->layout())
                up->layout()->activate();
        QRect r(c->mapTo(opener, QPoint(0, 0)), c->size());
        // With the label that names it.
        if (auto *label = opener->findChild<QWidget *>(QStringLiteral("label_") + c->objectName()))
            r |= QRect(label->mapTo(opener, QPoint(0, 0)), label->size());
        kept |= r;
    }
    QMargins frame = frameMargins(window);
    if (frame.isNull())
        frame = frameMargins(opener);
    const QPoint origin = opener->geometry().topLeft();
    const QRect keepFrame = kept.isEmpty() ? QRect() : kept.translated(origin).marginsAdded(QMargins(6, 6, 6, 6));
    const QSize wanted = QRect(QPoint(0, 0), window->size()).marginsAdded(frame).size();
    // Smaller than this, beside is no use: over the opener instead.
    const QSize readable(480, 320);
    const QSize minimum =
        QRect(QPoint(0, 0), window->minimumSizeHint().expandedTo(window->minimumSize()).expandedTo(readable))
            .marginsAdded(frame)
            .size();
    const SideBySide placed =
        placeBeside(wanted, minimum, opener->frameGeometry(), keepFrame, screen->availableGeometry());
    if (placed.opener != opener->frameGeometry())
        opener->move(placed.opener.topLeft());
    window->resize(placed.window.marginsRemoved(frame).size().expandedTo(window->minimumSize()));
    window->move(placed.window.topLeft());
    window->show();
}

void placeOverOpener(QWidget *window, QWidget *opener)
{
    QScreen *screen = opener->screen() ? opener->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const auto frameOf = frameMargins;
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
        // Every window of the program says whom it works for while there are several 账套.
        if (isProgramWindow(w) && opener) {
            static const char kBaseTitle[] = "lanshiBaseTitle";
            if (!w->property(kBaseTitle).isValid())
                w->setProperty(kBaseTitle, w->windowTitle());
            w->setWindowTitle(store::withCompanyCaption(w->property(kBaseTitle).toString()));
        }
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
