#pragma once
// A voucher's calibration kept in a profile file: visible millimetre boxes on the settings tab,
// stored twips behind them, and yes/no switches.

#include <QHash>
#include <QList>
#include <QString>

#include "ui/showntexts.h"

class QLineEdit;
class QWidget;

namespace vouchers {

// Stored offsets and switches by key ("text73" -> twips); a key not present reads 0.
using Offsets = QHash<QString, double>;

// What a box shows for a stored offset: the twips divided by 57, up to 15 significant digits
// (28.5 -> "0.5", 100 -> "1.75438596491228").
QString millimetreText(double storedTwips);
// What is stored for a box's text: its leading number times 57 ("2mm" -> "114", "-1" -> "-57").
QString storedTwipsText(const QString &boxText);

// A stored key and the box of the settings tab that shows it (by object name).
struct KeyBox {
    QString key;
    QString box;
    bool isSwitch;
};

class Calibration {
public:
    // fileName: the profile file, usually store::appFile("mqtx.ini").
    explicit Calibration(QString fileName, QString section = QStringLiteral("MyApp"));

    // Keys are written in the order they are added. The box shows the offset in millimetres.
    void addOffset(const QString &key, QLineEdit *box);
    // The box shows the switch's numeric value ("1" on, "0" off); the user changes it only
    // through the window's choices, so it is never unlocked.
    void addSwitch(const QString &key, QLineEdit *box);
    // Adds every key of a table with the box of its name in the window.
    void addKeyBoxes(const QWidget *window, const QList<KeyBox> &table);
    // Adds every key of a table without a box: the stored values alone (a voucher made from data).
    void addKeys(const QList<KeyBox> &table);

    // Reads every key (missing or not a number: 0) and shows it in its box.
    void load();
    // Takes every box's value into its holder and writes all keys; locks the offset boxes.
    // False when the file could not be written (the holders are taken all the same).
    bool save();

    void setLocked(bool locked); // the offset boxes, not the switches
    bool isLocked() const { return m_locked; }

    double value(const QString &key) const { return m_values.value(key.toLower(), 0.0); }
    // A switch is on when its stored value is exactly 1.
    bool isOn(const QString &key) const { return value(key) == 1.0; }
    const Offsets &values() const { return m_values; }
    // The offsets as the boxes show them now, saved or not (what a save would store).
    Offsets typedValues() const;

    QString fileName() const { return m_fileName; }
    // The boxes of offsets and switches, in the order added.
    QList<QWidget *> boxes() const;

private:
    struct Entry {
        QString key;
        QLineEdit *box;
        bool isSwitch;
    };

    QString m_fileName;
    QString m_section;
    QList<Entry> m_entries;
    Offsets m_values;
    ui::ShownTexts m_shown; // a box left as shown keeps its stored value exactly
    bool m_locked = true;
};

} // namespace vouchers
