// SPDX-License-Identifier: MIT
#include "main/status_text.h"

#include <QCoreApplication>
#include <cstdint>

#include "main/text.h"

namespace nimbrel {

namespace {

// Built apart from the window, translated under its context: the window's status bar shows them.
constexpr char Context[] = "nimbrel::MainWindow";

QString translated(const char* text) {
    return QCoreApplication::translate(Context, text);
}

}  // namespace

QString startHint() {
    //: The status bar's hint: the missing blank after the comma is as the program always showed it.
    return translated(
        QT_TRANSLATE_NOOP("nimbrel::MainWindow", "Press F5 to search,Double click to config"));
}

QString openHint() {
    //: In the status bar after Open with no device selected.
    return translated(
        QT_TRANSLATE_NOOP("nimbrel::MainWindow", "Please Double Click the items listed!"));
}

MacBytes displayedMac(const MacBytes& listed, std::string_view model) {
    MacBytes shown = listed;
    if (upperDeviceBytes(model).find("QZL-TMR") != std::string::npos) {
        const auto low = static_cast<std::uint16_t>((shown[4] << 8 | shown[5]) - 1);
        shown[4] = static_cast<std::uint8_t>(low >> 8);
        shown[5] = static_cast<std::uint8_t>(low & 0xFF);
    }
    return shown;
}

QString shownMac(const DeviceView& device) {
    return QString::fromStdString(formatMac(displayedMac(device.listedMac, device.model)));
}

QString deviceStatusText(const DeviceView& device) {
    // One substitution for both: a firmware text that holds "%2" stays as it is.
    //: The selected device's details in the status bar: %1 its MAC, %2 its firmware version.
    return translated(QT_TRANSLATE_NOOP("nimbrel::MainWindow", "MAC:%1  VER:%2"))
        .arg(shownMac(device), shownDeviceText(device.firmware));
}

QString shownCountText(int shown, int hidden, int lostReplies, bool filtered) {
    QString text;
    if (hidden > 0 || filtered) {
        //: In the status bar: %1 devices are in view of %2 found.
        text = translated(QT_TRANSLATE_NOOP("nimbrel::MainWindow", "%1 of %2 devices shown"))
                   .arg(shown)
                   .arg(shown + hidden);
    }
    if (lostReplies > 0) {
        if (!text.isEmpty()) {
            //: Separates the count of devices shown from the count of replies lost.
            text += translated(QT_TRANSLATE_NOOP("nimbrel::MainWindow", ", "));
        }
        text += lostReplies == 1
                    //: In the status bar: %1 is 1, one reply was dropped by the system.
                    ? translated(QT_TRANSLATE_NOOP("nimbrel::MainWindow", "%1 reply lost")).arg(1)
                    //: In the status bar: %1 (more than one) replies were dropped by the system.
                    : translated(QT_TRANSLATE_NOOP("nimbrel::MainWindow", "%1 replies lost"))
                          .arg(lostReplies);
    }
    return text;
}

}  // namespace nimbrel
