// SPDX-License-Identifier: MIT
#include "about/about_dialog.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

#include "about/bevel_panel.h"
#include "nimbrel_version.h"

namespace nimbrel {

namespace {

constexpr int ClientWidth = 342;
constexpr int ClientHeight = 190;

constexpr auto IconPath = ":/icons/app-32.png";

// Places a centred, plain-text label at its designed rectangle. The layout was drawn for a
// small 8-point face; where the platform's default font is larger, the label grows just enough
// to show its whole text rather than clip it. It grows to the right and downwards, keeping its
// top-left corner, because the program icon sits just left of the product name.
QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& text, QRect designed) {
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

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("aboutDialog"));
    //: The About window's title bar.
    setWindowTitle(tr("About"));
    setFixedSize(ClientWidth, ClientHeight);
    setWindowModality(Qt::ApplicationModal);

    // The window is painted in the button-face colour, like every other dialog face.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);

    auto* panel = new BevelPanel(this);
    panel->setObjectName(QStringLiteral("panel"));
    panel->setGeometry(8, 8, 329, 137);

    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setGeometry(24, 16, 73, 73);
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    icon->setScaledContents(false);
    icon->setTextFormat(Qt::PlainText);
    // A missing resource yields a null pixmap, which leaves the picture empty and harmless.
    icon->setPixmap(QPixmap(QString::fromLatin1(IconPath)));

    //: The product's name, leading space included: a name, kept as it is in every language.
    makeLabel(panel, "productName", tr(" Nimbrel AP/Bridge/CloudAP Utility Config"),
              QRect(64, 24, 217, 13));
    //: %1 is the program's version, such as 1.6. The leading space belongs to the layout.
    makeLabel(panel, "version", tr(" Version:%1").arg(QString::fromLatin1(VersionMajorMinor)),
              QRect(121, 56, 120, 13));
    //: The copyright notice: the years and the holder's name stay as they are.
    makeLabel(panel, "copyright", tr("Copyright (C) 2019-2026 Nimbrel"), QRect(72, 106, 214, 13));

    //: The button that closes the About window.
    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(127, 156, 75, 25);
    okButton_->setDefault(true);
    okButton_->setFocusPolicy(Qt::StrongFocus);
    connect(okButton_, &QPushButton::clicked, this, [this] { done(AboutOk); });
}

void AboutDialog::openCentred() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    centreOnScreen();
    okButton_->setFocus(Qt::OtherFocusReason);
    // Shown, not exec()'d: the window is application-modal by itself, and its end comes as
    // `finished`.
    show();
}

void AboutDialog::reject() {}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred once more now that it is on screen: only now does the frame around it have a size.
    centreOnScreen();
}

void AboutDialog::closeEvent(QCloseEvent* event) {
    // The close box and Alt+F4 end the window with their own result rather than Esc's nothing.
    if (isVisible()) {
        done(AboutClosed);
    }
    event->accept();
}

void AboutDialog::centreOnScreen() {
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
