#pragma once
// The main window's background: green gradient, the product title and the white category panel.

#include <QWidget>

namespace app {

class Backdrop : public QWidget {
    Q_OBJECT
public:
    explicit Backdrop(QWidget *parent = nullptr);

    // Tops of the ten category slots, in pixels, so the panel's rules sit between the labels.
    static const int kSlotTops[10];

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace app
