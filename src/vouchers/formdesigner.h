#pragma once
// 自定义凭证 (zdypz): the clerk's own voucher forms, laid out on a scan of the blank form. Each field
// of the fixed vocabulary is a box over the scan at true scale, moved by the mouse, by the arrow
// keys (0.5 mm, with Shift 5 mm) or typed in millimetres; forms are saved into the database,
// started from a built-in voucher, exported to and imported from one file.

#include "store/connection.h"
#include "vouchers/customform.h"

#include <QImage>
#include <QList>
#include <QWidget>

#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace vouchers {

class FormCanvas;

class FormDesignerWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormDesignerWindow(QWidget *parent = nullptr);
    ~FormDesignerWindow() override;

    // Opens the voucher window of a saved form (the program's window registry does it).
    std::function<void(const CustomForm &)> openVoucher;
    // File choices; tests answer them.
    std::function<QString(QWidget *, const QString &proposed)> chooseExportFile;
    std::function<QString(QWidget *)> chooseImportFile;
    std::function<QString(QWidget *)> chooseScanFile;

    const CustomForm &form() const { return m_form; }
    // Whether the form differs from what is saved.
    bool isModified() const { return m_modified; }

    // The designer's own calls, which its controls make.
    // A new form (asks first when the current one has unsaved changes; false when kept).
    bool newForm(const QString &name, double widthMm, double heightMm, const QString &role);
    bool startFromBuiltIn(const QString &window);
    bool openForm(qint64 id);
    void setScan(const FormScan &scan);
    // Two-point placing of the scan: the next two clicks on the picture mark the form's top-left
    // corner and a point whose place on the form (millimetres) the two boxes beside give; from then
    // on they decide the scale, not the resolution.
    void startPlacing();
    bool isPlacing() const { return m_placing > 0; }
    void placeAt(const QPointF &imagePoint);
    void setSecondPoint(double xMm, double yMm);
    void cancelPlacing();
    // Adds a field of the vocabulary at the middle of the paper (or at the place given) and
    // chooses it; returns its index.
    int addField(FieldKind kind);
    void chooseField(int index);
    int chosenField() const { return m_chosen; }
    void setFieldPlace(int index, double xMm, double yMm);
    void setField(int index, const CustomField &field);
    void removeField(int index);
    // Moves the chosen box by millimetres (what the arrow keys do).
    void moveChosen(double dxMm, double dyMm, bool keepInSight = true);
    // Saves into the database; false when refused (told to the clerk).
    bool save();
    bool exportTo(const QString &path);
    bool importFrom(const QString &path);
    bool removeForm();

    // Where a field's box stands on the picture (image pixels): its top-left is where the text's
    // top-left prints.
    QRectF boxOf(int index) const;
    // What the position line says of the chosen box ("X 25.0 mm  Y 12.5 mm").
    QString positionText() const;
    QWidget *canvas() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fillFormList();
    void showForm();
    void showField();
    void takeFormBoxes();
    void takeFieldBoxes();
    void changed();
    void redraw(bool keepInSight = true);
    void fitWidth();
    void pickScan();
    void exportForm();
    void importForm();
    bool keepOrDiscard();

    store::Connection m_connection;
    CustomForm m_form;
    int m_chosen = -1;
    bool m_modified = false;
    bool m_showing = false;
    int m_placing = 0; // 0: not placing, 1: waiting for the corner, 2: for the second point
    QPointF m_firstPoint; // the corner clicked, until the second point confirms it // the boxes are being filled: their signals change nothing

    QListWidget *m_forms;
    QComboBox *m_template;
    QLineEdit *m_name;
    QComboBox *m_role;
    QDoubleSpinBox *m_paperWidth, *m_paperHeight, *m_dpi, *m_zoom, *m_pointX, *m_pointY;
    QComboBox *m_fieldType;
    QListWidget *m_fields;
    QDoubleSpinBox *m_fieldX, *m_fieldY, *m_fieldPoints, *m_fieldWidth, *m_fieldPitch;
    QSpinBox *m_fieldCells;
    QLineEdit *m_fieldText, *m_fieldChoice;
    QLabel *m_position;
    QScrollArea *m_scroll;
    FormCanvas *m_canvas;
};

} // namespace vouchers
