#include "vouchers/calibration.h"

#include "store/profile.h"
#include "text/numbers.h"

#include <QLineEdit>
#include <QStyle>

namespace vouchers {

QString millimetreText(double storedTwips) { return text::formatNumber(storedTwips / text::kTwipsPerMm); }

QString storedTwipsText(const QString &boxText)
{
    return text::formatNumber(text::leadingNumber(boxText) * text::kTwipsPerMm);
}

Calibration::Calibration(QString fileName, QString section)
    : m_fileName(std::move(fileName)), m_section(std::move(section))
{
}

void Calibration::addOffset(const QString &key, QLineEdit *box) { m_entries.append({key.toLower(), box, false}); }

void Calibration::addSwitch(const QString &key, QLineEdit *box)
{
    m_entries.append({key.toLower(), box, true});
    if (box)
        box->setReadOnly(true);
}

void Calibration::addKeyBoxes(const QWidget *window, const QList<KeyBox> &table)
{
    for (const KeyBox &kb : table) {
        QLineEdit *box = window->findChild<QLineEdit *>(kb.box);
        if (kb.isSwitch)
            addSwitch(kb.key, box);
        else
            addOffset(kb.key, box);
    }
}

void Calibration::addKeys(const QList<KeyBox> &table)
{
    for (const KeyBox &kb : table)
        m_entries.append({kb.key.toLower(), nullptr, kb.isSwitch});
}

void Calibration::load()
{
    const store::Profile profile(m_fileName);
    for (const Entry &e : std::as_const(m_entries)) {
        const double v = profile.readNumber(m_section, e.key);
        m_values.insert(e.key, v);
        if (e.box) {
            e.box->setText(e.isSwitch ? text::formatNumber(v) : millimetreText(v));
            m_shown.noteShown(e.box);
        }
    }
}

QList<QWidget *> Calibration::boxes() const
{
    QList<QWidget *> boxes;
    for (const Entry &e : m_entries)
        if (e.box)
            boxes << e.box;
    return boxes;
}

Offsets Calibration::typedValues() const
{
    Offsets typed = m_values;
    for (const Entry &e : std::as_const(m_entries))
        if (e.box && !e.isSwitch && m_shown.edited(e.box))
            typed.insert(e.key, text::leadingNumber(storedTwipsText(e.box->text())));
    return typed;
}

bool Calibration::save()
{
    const store::Profile profile(m_fileName);
    bool ok = true;
    for (const Entry &e : std::as_const(m_entries)) {
        // A key without a box, or a box left as shown, keeps what is stored.
        const bool typed = e.box && (e.isSwitch || m_shown.edited(e.box));
        const QString boxText = e.box ? e.box->text() : QString();
        const QString stored = !typed       ? text::formatNumber(value(e.key))
                               : e.isSwitch ? text::formatNumber(text::leadingNumber(boxText))
                                            : storedTwipsText(boxText);
        if (e.box && !e.isSwitch)
            m_shown.noteShown(e.box);
        // The holder keeps exactly what the file says, so a reload changes nothing.
        m_values.insert(e.key, text::leadingNumber(stored));
        ok = profile.write(m_section, e.key, stored) && ok;
    }
    setLocked(true);
    return ok;
}

void Calibration::setLocked(bool locked)
{
    m_locked = locked;
    for (const Entry &e : std::as_const(m_entries)) {
        if (e.isSwitch || !e.box)
            continue;
        e.box->setReadOnly(locked);
        // A style sheet that greys read-only boxes reads the property only when it polishes.
        e.box->style()->unpolish(e.box);
        e.box->style()->polish(e.box);
        e.box->update();
    }
}

} // namespace vouchers
