#pragma once
// The purpose windows: add (ytsz1), management (ytsz2) and the picker (xzyt).

#include "store/connection.h"
#include "store/datasource.h"

#include <QWidget>

namespace Ui {
class ytsz1;
class ytsz2;
class xzyt;
} // namespace Ui
namespace store { class GridModel; }

namespace reference {

class PurposePickTarget;

class PurposeAddWindow : public QWidget {
    Q_OBJECT
public:
    explicit PurposeAddWindow(QWidget *parent = nullptr);
    ~PurposeAddWindow() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void save();

    Ui::ytsz1 *ui;
    store::Connection m_connection;
};

class PurposeManageWindow : public QWidget {
    Q_OBJECT
public:
    explicit PurposeManageWindow(QWidget *parent = nullptr);
    ~PurposeManageWindow() override;

    store::DataSource &purposes() { return m_purposes; }
    bool isEditing() const { return m_editing; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showCurrentRow();
    void setEditing(bool editing);
    void modify();
    void cancel();
    void save();
    void remove();

    Ui::ytsz2 *ui;
    store::Connection m_connection;
    store::DataSource m_purposes;
    store::GridModel *m_grid;
    store::Bookmark m_remembered;
    bool m_editing = false;
};

class PurposePicker : public QWidget {
    Q_OBJECT
public:
    // tag names the calling voucher ("支票打印", "进账单", ...); it is shown in Label1.
    PurposePicker(const QString &tag, PurposePickTarget *target, QWidget *parent = nullptr);
    ~PurposePicker() override;

    void confirm(); // "确认选择"

private:
    Ui::xzyt *ui;
    PurposePickTarget *m_target;
    store::Connection m_connection;
    store::DataSource m_purposes;
    store::GridModel *m_grid;
};

} // namespace reference
