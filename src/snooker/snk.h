#pragma once
// The snooker scoreboard: two players, up to eleven frames, scored ball by ball by an operator.

#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class snk;
}

namespace snooker {

// The window `snk`. Its whole state is the text of its controls: nothing is stored, and the
// window deletes itself when closed, so the next opening starts a new match.
class Scoreboard : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kFrames = 11;

    // A top-level window owned by parent (which may be null); the opener decides on modality.
    explicit Scoreboard(QWidget *parent = nullptr);
    ~Scoreboard() override;

private:
    void applyFonts();
    void connectControls();
    void pot(QLabel *score, int points);
    void endFrame(int frame);
    void reset();
    // Enables only frame's end button; a frame past the last one leaves them all disabled.
    void openFrame(int frame);

    std::unique_ptr<Ui::snk> ui_;
    std::array<QPushButton *, kFrames> frameEnds_{};
    std::array<QLineEdit *, 2 * kFrames> cells_{};
};

} // namespace snooker
