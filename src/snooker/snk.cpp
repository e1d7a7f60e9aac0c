#include "snooker/snk.h"

#include "ui_snk.h"

#include <QFont>
#include <QFontMetrics>
#include <QRegularExpression>

#include <initializer_list>

namespace snooker {

namespace {

// Designer files hold whole point sizes only, so the half sizes are set here.
void setPointSize(QWidget *w, qreal points, bool bold)
{
    QFont f = w->font();
    f.setPointSizeF(points);
    f.setBold(bold);
    w->setFont(f);
}

qint64 scoreOf(const QLabel *label)
{
    return label->text().toLongLong();
}

} // namespace

Scoreboard::Scoreboard(QWidget *parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::snk>())
{
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);

    frameEnds_ = {ui_->Command8,  ui_->Command9,  ui_->Command10, ui_->Command11,
                  ui_->Command12, ui_->Command13, ui_->Command14, ui_->Command15,
                  ui_->Command16, ui_->Command17, ui_->Command18};
    cells_ = {ui_->Text1,  ui_->Text2,  ui_->Text3,  ui_->Text4,  ui_->Text5,  ui_->Text6,
              ui_->Text7,  ui_->Text8,  ui_->Text9,  ui_->Text10, ui_->Text11, ui_->Text12,
              ui_->Text13, ui_->Text14, ui_->Text15, ui_->Text16, ui_->Text17, ui_->Text18,
              ui_->Text19, ui_->Text20, ui_->Text21, ui_->Text22};

    applyFonts();
    connectControls();

    for (QLabel *counter : {ui_->Label1, ui_->Label2, ui_->Label3, ui_->Label4})
        counter->setText(QStringLiteral("0"));
    openFrame(1);
}

Scoreboard::~Scoreboard() = default;

void Scoreboard::applyFonts()
{
    for (QPushButton *b : findChildren<QPushButton *>())
        setPointSize(b, 10.5, true);
    for (QLineEdit *cell : cells_)
        setPointSize(cell, 14.25, false);
    for (QLabel *caption : findChildren<QLabel *>(QRegularExpression(QStringLiteral("^frameCaption"))))
        setPointSize(caption, 14.25, false);
    for (QWidget *w : std::initializer_list<QWidget *>{ui_->nameCaptionA, ui_->nameCaptionB, ui_->Text25,
                                                        ui_->Text26})
        setPointSize(w, 10.5, false);

    // The counters keep their place when a score gains a digit.
    for (QLabel *counter : {ui_->Label1, ui_->Label2, ui_->Label3, ui_->Label4})
        counter->setMinimumWidth(QFontMetrics(counter->font()).horizontalAdvance(QStringLiteral("000")));
}

void Scoreboard::connectControls()
{
    const std::array<QPushButton *, 7> ballsA = {ui_->Command1, ui_->Command2, ui_->Command3, ui_->Command4,
                                                 ui_->Command5, ui_->Command6, ui_->Command7};
    const std::array<QPushButton *, 7> ballsB = {ui_->Command19, ui_->Command20, ui_->Command21,
                                                 ui_->Command22, ui_->Command23, ui_->Command24,
                                                 ui_->Command25};
    for (int i = 0; i < 7; ++i) {
        const int points = i + 1; // red 1 up to black 7, in button order
        connect(ballsA[i], &QPushButton::clicked, this, [this, points] { pot(ui_->Label1, points); });
        connect(ballsB[i], &QPushButton::clicked, this, [this, points] { pot(ui_->Label2, points); });
    }
    for (int n = 1; n <= kFrames; ++n)
        connect(frameEnds_[n - 1], &QPushButton::clicked, this, [this, n] { endFrame(n); });

    connect(ui_->Command26, &QPushButton::clicked, this, &Scoreboard::reset);
    connect(ui_->Command27, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->Text25, &QLineEdit::textChanged, ui_->Label7, &QLabel::setText);
    connect(ui_->Text26, &QLineEdit::textChanged, ui_->Label8, &QLabel::setText);
}

void Scoreboard::pot(QLabel *score, int points)
{
    score->setText(QString::number(scoreOf(score) + points));
}

void Scoreboard::endFrame(int frame)
{
    cells_[2 * (frame - 1)]->setText(ui_->Label1->text());
    cells_[2 * (frame - 1) + 1]->setText(ui_->Label2->text());

    const qint64 lead = scoreOf(ui_->Label2) - scoreOf(ui_->Label1);
    if (lead < 0)
        ui_->Label3->setText(QString::number(scoreOf(ui_->Label3) + 1));
    else if (lead > 0)
        ui_->Label4->setText(QString::number(scoreOf(ui_->Label4) + 1));

    ui_->Label1->setText(QStringLiteral("0"));
    ui_->Label2->setText(QStringLiteral("0"));
    openFrame(frame + 1);
}

void Scoreboard::reset()
{
    for (QLabel *counter : {ui_->Label1, ui_->Label2, ui_->Label3, ui_->Label4})
        counter->setText(QStringLiteral("0"));
    for (QLineEdit *cell : cells_)
        cell->setText(QStringLiteral("0"));
    openFrame(1);
}

void Scoreboard::openFrame(int frame)
{
    for (int n = 1; n <= kFrames; ++n)
        frameEnds_[n - 1]->setEnabled(n == frame);
}

} // namespace snooker
