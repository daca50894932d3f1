// SPDX-License-Identifier: MIT
// The artwork as the window uses it: the search animation on a dark window (no box of its own
// around the drawing, which stands out from the dark background), and the device images sharp
// at a scale of 2.
#include <gtest/gtest.h>
#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

#include "main/search_animation.h"

namespace nimbrel::testing {
namespace {

QString framePath(int frame) {
    return QStringLiteral(":/animation/search-%1.png").arg(frame, 2, 10, QLatin1Char('0'));
}

TEST(SearchAnimation, EveryFrameIsTransparentInItsCorners) {
    for (int frame = 0; frame < SearchAnimation::FrameCount; ++frame) {
        const QImage image(framePath(frame));
        ASSERT_FALSE(image.isNull()) << framePath(frame).toStdString();
        ASSERT_TRUE(image.hasAlphaChannel()) << frame;
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)}) {
            EXPECT_EQ(image.pixelColor(corner).alpha(), 0) << "frame " << frame;
        }
    }
}

TEST(SearchAnimation, OnADarkWindowItsCornersShowTheWindowAndItsDrawingStandsOut) {
    QWidget window;
    QPalette dark = window.palette();
    const QColor background(Qt::black);
    dark.setColor(QPalette::Window, background);
    window.setPalette(dark);
    window.setAutoFillBackground(true);
    window.resize(200, 120);
    SearchAnimation animation(&window);
    animation.setGeometry(60, 35, 80, 50);
    animation.start();

    const QImage shot = window.grab().toImage();
    const QRect area = animation.geometry();
    for (const QPoint corner :
         {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()}) {
        EXPECT_EQ(shot.pixelColor(corner), background) << corner.x() << "," << corner.y();
    }
    int light = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            light += shot.pixelColor(x, y).lightness() > 128 ? 1 : 0;
        }
    }
    // Some of the drawing, not a stray pixel: the lens and the units are light on dark.
    EXPECT_GT(light, area.width() * area.height() / 50);
}

// Each device image has a twin of twice its size beside it ("name@2x.png"), which an icon that
// holds both draws from at a scale of 2 rather than scaling the small one up.
TEST(DeviceImages, EachHasATwiceAsLargeTwinForAScaleOfTwo) {
    constexpr int DeviceImageCount = 15;
    for (int index = 0; index < DeviceImageCount; ++index) {
        const QString path =
            QStringLiteral(":/icons/device-%1.png").arg(index, 2, 10, QLatin1Char('0'));
        const QString twin =
            QString(path).replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
        const QImage image(path);
        const QImage large(twin);
        ASSERT_FALSE(image.isNull()) << path.toStdString();
        ASSERT_FALSE(large.isNull()) << twin.toStdString();
        EXPECT_EQ(large.size(), image.size() * 2) << twin.toStdString();
        EXPECT_TRUE(large.hasAlphaChannel()) << twin.toStdString();

        QIcon icon;
        icon.addFile(path);
        icon.addFile(twin);
        EXPECT_EQ(icon.pixmap(image.size(), 2.0).size(), large.size()) << path.toStdString();
    }
}

}  // namespace
}  // namespace nimbrel::testing
