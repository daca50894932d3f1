#include "about/about_box.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>

#include "about/bevel_panel.h"
#include "about/other_windows_disabled.h"

namespace nimbrel {

namespace {

constexpr int kClientWidth = 342;
constexpr int kClientHeight = 190;

constexpr auto kProductText = " Nimbrel AP/Bridge/CloudAP Utility Config";
constexpr auto kVersionText = " Version:1.6";
constexpr auto kCopyrightText = "Copyright (C) 2019-2026 Nimbrel";
constexpr auto kIconPath = ":/icons/app-32.png";

// Places a centred, plain-text label at its designed rectangle. The layout was drawn for a
// small 8-point face; where the platform's default font is larger, the label grows just enough
// to show its whole text rather than clip it. It grows to the right and downwards, keeping its
// top-left corner, because the program icon sits just left of the product name.
QLabel* MakeLabel(QWidget* parent, const char* objectName, const QString& text, QRect designed) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    const QFontMetrics metrics(label->font());
    const int width = std::max(designed.width(), metrics.horizontalAdvance(text));
    const int height = std::max(designed.height(), metrics.height());
    label->setGeometry(designed.left(), designed.top(), width, height);
    return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(kClientWidth, kClientHeight);
    setWindowModality(Qt::ApplicationModal);

    // The window is painted in the button-face colour, like every other dialog face.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);

    Panel1 = new BevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 329, 137);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(24, 16, 73, 73);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setScaledContents(false);
    Image1->setTextFormat(Qt::PlainText);
    // A missing resource yields a null pixmap, which leaves the picture empty and harmless.
    Image1->setPixmap(QPixmap(QString::fromLatin1(kIconPath)));

    ProductName =
        MakeLabel(Panel1, "ProductName", QString::fromLatin1(kProductText), QRect(64, 24, 217, 13));
    Version =
        MakeLabel(Panel1, "Version", QString::fromLatin1(kVersionText), QRect(121, 56, 120, 13));
    Copyright = MakeLabel(Panel1, "Copyright", QString::fromLatin1(kCopyrightText),
                          QRect(72, 106, 214, 13));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(127, 156, 75, 25);
    OKButton->setDefault(true);
    OKButton->setFocusPolicy(Qt::StrongFocus);
    connect(OKButton, &QPushButton::clicked, this, [this] { done(ModalOk); });
}

int TAboutBox::ShowModal() {
    // An earlier showing has ended its loop but not returned yet (a handler beneath it still
    // runs); exec() would refuse to nest and the window would flash, so nothing is shown.
    if (showing_) {
        return 0;
    }
    const QScopedValueRollback<bool> showing(showing_, true);
    const QPointer<QWidget> previous = QApplication::activeWindow();
    {
        // Modality alone is not enough: it lets the other windows take input again as soon as
        // the window hides, which done() does at once, while exec() cannot return before a
        // handler running beneath its loop (a search started there by a tick) has returned.
        const OtherWindowsDisabled others(this);
        CentreOnScreen();
        OKButton->setFocus(Qt::OtherFocusReason);
        // Anything but OK ended the modal loop from outside, such as the application quitting
        // while the window was up; that counts as Cancel, and the window must not stay on
        // screen.
        modalResult_ = exec() == ModalOk ? ModalOk : ModalCancel;
        hide();
    }
    // The window has no owner that the window system would activate in its place; the one that
    // was active before gets the activation back, unless another has taken it meanwhile.
    const QWidget* active = QApplication::activeWindow();
    if (previous != nullptr && previous != this && (active == nullptr || active == this)) {
        previous->activateWindow();
    }
    return modalResult_;
}

void TAboutBox::CancelModal() {
    if (isVisible()) {
        done(ModalCancel);
    }
}

void TAboutBox::reject() {}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred once more now that it is on screen: only now does the frame around it have a size.
    CentreOnScreen();
}

void TAboutBox::closeEvent(QCloseEvent* event) {
    // The close box and Alt+F4 end a modal window with Cancel instead of closing it directly.
    if (isVisible()) {
        done(ModalCancel);
    }
    event->accept();
}

void TAboutBox::CentreOnScreen() {
    const QScreen* target = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (target == nullptr) {
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(target->geometry().center());
    // Moving marks the position as chosen, so the dialog does not re-centre on its parent.
    move(frame.topLeft());
}

}  // namespace nimbrel
