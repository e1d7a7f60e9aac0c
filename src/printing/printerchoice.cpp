#include "printing/printerchoice.h"

#include "store/appdir.h"
#include "ui/prompter.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>

namespace printing {

namespace {

QString settingsFile() { return store::calibrationFile(QStringLiteral("printers.ini")); }

QString key(const QString &window) { return QStringLiteral("printers/%1").arg(window); }

} // namespace

QString systemDefaultCaption() { return QStringLiteral("系统默认打印机"); }

QString chosenPrinter(const QString &window)
{
    const QSettings settings(settingsFile(), QSettings::IniFormat);
    return settings.value(key(window)).toString();
}

bool setChosenPrinter(const QString &window, const QString &printer)
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    if (printer.isEmpty())
        settings.remove(key(window));
    else
        settings.setValue(key(window), printer);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

PrinterPick printerOf(const QString &window)
{
    PrinterPick pick;
    pick.chosen = chosenPrinter(window);
    if (!pick.chosen.isEmpty()) {
        pick.info = QPrinterInfo::printerInfo(pick.chosen);
        pick.gone = pick.info.isNull();
    }
    if (pick.info.isNull())
        pick.info = QPrinterInfo::defaultPrinter();
    return pick;
}

QString gonePrinterQuestion(const QString &printer)
{
    return QStringLiteral("本凭证选定的打印机“%1”已不在系统中，没有打印。\n\n"
                          "可以改用系统默认打印机打印，或另存为PDF文件。")
        .arg(printer);
}

GonePrinterAnswer askAboutGonePrinter(QWidget *parent, const QString &printer, const QString &title)
{
    ui::Prompt prompt;
    prompt.text = gonePrinterQuestion(printer);
    prompt.title = title;
    prompt.buttons = ui::Yes | ui::No | ui::Cancel;
    prompt.icon = ui::Icon::Warning;
    prompt.defaultButton = ui::Cancel;
    prompt.parent = parent;
    prompt.yesCaption = QStringLiteral("用默认打印机(&D)");
    prompt.noCaption = QStringLiteral("另存为PDF(&S)");
    switch (ui::prompter().ask(prompt)) {
    case ui::Yes: return GonePrinterAnswer::UseDefault;
    case ui::No: return GonePrinterAnswer::SavePdf;
    default: return GonePrinterAnswer::Cancel;
    }
}

PrinterChoice::PrinterChoice(const QString &window, QWidget *parent)
    : QWidget(parent), m_window(window), m_box(new QComboBox(this)), m_notice(new QLabel(this))
{
    setObjectName(QStringLiteral("PrinterChoice"));
    m_box->setObjectName(QStringLiteral("ComboPrinter"));
    m_box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_box->setMinimumContentsLength(12);
    m_notice->setObjectName(QStringLiteral("LabelPrintNotice"));
    auto *label = new QLabel(QStringLiteral("打印机(&B)："), this);
    label->setBuddy(m_box);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label);
    row->addWidget(m_box);
    row->addSpacing(8);
    row->addWidget(m_notice, 1);
    refresh();
    connect(m_box, &QComboBox::activated, this, &PrinterChoice::chosen);
}

void PrinterChoice::refresh()
{
    const QString chosen = chosenPrinter(m_window);
    m_box->clear();
    m_box->addItem(systemDefaultCaption(), QString());
    for (const QString &name : QPrinterInfo::availablePrinterNames())
        m_box->addItem(name, name);
    int index = chosen.isEmpty() ? 0 : m_box->findData(chosen);
    if (index < 0) { // chosen once, gone since: shown as it is, so that the clerk sees why
        m_box->addItem(QStringLiteral("%1（已不在系统中）").arg(chosen), chosen);
        index = m_box->count() - 1;
    }
    m_box->setCurrentIndex(index);
}

void PrinterChoice::chosen(int index) { setChosenPrinter(m_window, m_box->itemData(index).toString()); }

void PrinterChoice::setNotice(const QString &text)
{
    m_notice->setToolTip(text);
    m_notice->setText(m_notice->fontMetrics().elidedText(text, Qt::ElideRight, qMax(80, m_notice->width())));
    m_notice->setProperty("fullText", text);
}

QString PrinterChoice::notice() const { return m_notice->property("fullText").toString(); }

} // namespace printing
