#pragma once
// The main window zbd: category list with its highlight bar, command buttons, menus, clock, exit.

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>
#include <functional>

class QAction;
class QLabel;
class QPushButton;
class QTimer;

namespace Ui { class zbd; }

namespace app {

class HelpWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    using Factory = std::function<QWidget *(QWidget *parent)>;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Makes a child window available under its form name ("snk", "about", "zpdy", ...). The
    // command buttons and menu entries that open a window stay hidden until it is registered.
    void registerWindow(const QString &name, Factory factory);
    bool hasWindow(const QString &name) const { return m_factories.contains(name); }

    // Creates the window on first use and shows it application-modal. onReturn runs once, when
    // the window hides or closes again. Returns nullptr for a window that is not registered.
    QWidget *openWindow(const QString &name, std::function<void()> onReturn = {});
    // The window if it is loaded (created and not yet destroyed).
    QWidget *loadedWindow(const QString &name) const;

    // What moving the pointer over row i of the category list does.
    void hoverCategory(int row);
    // What a click on the highlight bar does with its caption.
    void dispatch(const QString &caption);

    // Before another 账套 is opened: every loaded window goes, the clerk asked first where a voucher
    // window holds entries not printed yet (否 keeps them and the 账套). False when he keeps them.
    bool closeWindowsOfCompany();
    // The 账套 the program works on, after the title and in the status bar; empty shows none.
    void setCompanyCaption(const QString &caption);

    // The help, at the section of the window pressedIn belongs to (the main window's by default).
    void showHelp(QWidget *pressedIn = nullptr);

    // Where "网上蓝石" goes, and how; tests replace the opener. The opener's false (no browser,
    // or it failed) is told to the clerk with the address.
    static QUrl homePage();
    void setUrlOpener(std::function<bool(const QUrl &)> opener) { m_openUrl = std::move(opener); }
    static bool webBrowserAvailable();

    // The clock panel's text: long date, four blanks, time ("2010年4月14日    15:04:05").
    static QString clockText(const QDateTime &when);
    static QString copyrightLine();

    // Row tops of the category slots, in twips, and their captions.
    static int slotTopTwips(int row);
    static QString slotCaption(int row);
    static constexpr int kSlots = 10;

signals:
    // The user confirmed the exit question: the application ends.
    void exitConfirmed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showOnly(const QStringList &buttons);
    void hideAllButtons() { showOnly({}); }
    void tick();
    void updateMenuEntries();
    void updateCustomVoucherEntries();
    // True when a form designer with unsaved changes was told to keep them (the clerk cancelled).
    bool keepUnsavedForms();
    void openFromButton(const QString &button);
    // Up, Down, Home or End on the highlight bar: onto the previous, next, first or last category.
    void moveCategory(int key);
    void frameFocusedCategory();

    Ui::zbd *ui;
    QLabel *m_slots[kSlots] = {};
    QLabel *m_panel1;
    QLabel *m_panel2;
    QLabel *m_companyPanel;
    QString m_baseTitle;
    QTimer *m_clock;
    QHash<QString, Factory> m_factories;
    QHash<QString, QPointer<QWidget>> m_windows;
    QHash<QWidget *, std::function<void()>> m_onReturn;
    QPointer<HelpWindow> m_help;
    QList<QAction *> m_customEntries; // the 票据打印 menu's entries of the clerk's own forms
    std::function<bool(const QUrl &)> m_openUrl;
};

} // namespace app
