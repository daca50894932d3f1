// SPDX-License-Identifier: MIT
#include "main/main_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <string>

#include "discovery/model_icons.h"
#include "main/device_item.h"
#include "main/device_list.h"
#include "main/image_list.h"
#include "main/message_dialog.h"
#include "main/search_animation.h"
#include "main/status_text.h"
#include "main/text.h"
#include "main/window_platform.h"

namespace nimbrel {

namespace {

constexpr int AutoRefreshMilliseconds = 8000;

// A permanent label of the status bar, shown only while it has something to say.
void showHint(QLabel* label, const QString& text) {
    if (label->text() != text) {
        label->setText(text);
        label->setVisible(!text.isEmpty());
    }
}

// Where the one setting is kept: the platform's usual place for the user's settings
// (~/.config/Nimbrel/nimbrel-utility.conf on Linux, the registry on Windows).
constexpr auto SettingsOrganization = "Nimbrel";
constexpr auto SettingsApplication = "nimbrel-utility";
constexpr auto AllNetworksKey = "searchAllNetworks";

QSettings userSettings() {
    return QSettings(QString::fromLatin1(SettingsOrganization),
                     QString::fromLatin1(SettingsApplication));
}

}  // namespace

char keyCharacter(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    // Windows delivers Ctrl+letter as its control code whatever the keyboard layout says;
    // Qt leaves the text of such a press to the platform, so it is derived here.
    if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier) && key >= Qt::Key_A &&
        key <= Qt::Key_Z) {
        return static_cast<char>(key - Qt::Key_A + 1);
    }
    if (text.size() == 1 && text.front().unicode() < 0x100) {
        return static_cast<char>(text.front().unicode());
    }
    return 0;
}

MainWindow::MainWindow(std::unique_ptr<SearchRunner> searchRunner)
    : QMainWindow(nullptr, mainWindowFlags()), searchRunner_(std::move(searchRunner)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral(" Nimbrel AP/Bridge/CloudAP Utility Config"));
    createParts();
    createMenu();
    connectParts();
    setSearchAllNetworks(userSettings().value(QString::fromLatin1(AllNetworksKey), false).toBool());
    // Sized now, so that the native window is created at this size when first shown: X11
    // without a window manager would otherwise keep Qt's default size.
    adjustSize();
}

MainWindow::~MainWindow() = default;

void MainWindow::createParts() {
    QPalette buttonFace = palette();
    buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
    setPalette(buttonFace);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(392, 405);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    auto* panel = new QFrame(client);
    panel->setObjectName(QStringLiteral("listPanel"));
    panel->setGeometry(0, 0, 392, 381);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);

    deviceImages_ = new ImageList(ImageCount, QSize(32, 32), this);
    deviceImages_->setObjectName(QStringLiteral("deviceImages"));

    deviceList_ = new DeviceList(panel);
    deviceList_->setObjectName(QStringLiteral("deviceList"));
    deviceList_->setAccessibleName(QStringLiteral("Devices found"));
    deviceList_->setGeometry(1, 1, 390, 379);
    // The selection stays as visible while the list has no keyboard focus.
    QPalette selection = deviceList_->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        selection.setColor(QPalette::Inactive, role, selection.color(QPalette::Active, role));
    }
    deviceList_->setPalette(selection);
    deviceList_->setFocus();

    searchAnimation_ = new SearchAnimation(panel);
    searchAnimation_->setObjectName(QStringLiteral("searchAnimation"));
    searchAnimation_->setAccessibleName(QStringLiteral("Searching for devices"));
    searchAnimation_->setGeometry(187, 197, 80, 50);
    searchAnimation_->hide();
    searchAnimation_->raise();

    statusBar_ = new QStatusBar(client);
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    statusBar_->setAccessibleName(QStringLiteral("Status"));
    statusBar_->setGeometry(0, 381, 392, 24);
    statusBar_->setSizeGripEnabled(false);
    // Labels of our own rather than showMessage: nothing else may replace or clear the text.
    statusLabel_ = new QLabel(statusBar_);
    statusLabel_->setObjectName(QStringLiteral("statusText"));
    statusLabel_->setTextFormat(Qt::PlainText);
    statusBar_->addWidget(statusLabel_, 1);
    countLabel_ = new QLabel(statusBar_);
    countLabel_->setObjectName(QStringLiteral("countText"));
    countLabel_->setTextFormat(Qt::PlainText);
    countLabel_->hide();
    statusBar_->addPermanentWidget(countLabel_);
    networksLabel_ = new QLabel(statusBar_);
    networksLabel_->setObjectName(QStringLiteral("networksText"));
    networksLabel_->setTextFormat(Qt::PlainText);
    statusBar_->addPermanentWidget(networksLabel_);
    setStatusText(fromDeviceBytes(StartHint));

    autoRefreshTimer_ = new QTimer(this);
    autoRefreshTimer_->setObjectName(QStringLiteral("autoRefreshTimer"));
    autoRefreshTimer_->setInterval(AutoRefreshMilliseconds);
}

void MainWindow::connectParts() {
    connect(searchRunner_.get(), &SearchRunner::started, this, &MainWindow::showSearching);
    connect(searchRunner_.get(), &SearchRunner::finished, this, &MainWindow::showResult);
    connect(searchRunner_.get(), &SearchRunner::failed, this, &MainWindow::showFailure);

    connect(browseAction_, &QAction::triggered, this, &MainWindow::search);
    connect(openAction_, &QAction::triggered, this, &MainWindow::openSelectedDevice);
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::aboutRequested);
    connect(autoRefreshAction_, &QAction::toggled, autoRefreshTimer_, [this](bool on) {
        if (on) {
            autoRefreshTimer_->start();
        } else {
            autoRefreshTimer_->stop();
        }
    });
    connect(autoRefreshTimer_, &QTimer::timeout, this, &MainWindow::search);
    connect(allNetworksAction_, &QAction::triggered, this, [this](bool on) {
        setSearchAllNetworks(on);
        saveSearchAllNetworks(on);
    });

    connect(deviceList_, &QListWidget::itemSelectionChanged, this, &MainWindow::showSelectedDevice);
    deviceList_->installEventFilter(this);
    deviceList_->viewport()->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == deviceList_ && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        const char key = keyCharacter(press->key(), press->modifiers(), press->text());
        if (key == 3) {
            copySelectedDevice();
        }
        // The list view would copy the caption on Ctrl+C itself; the copy is ours alone.
        return key == 3;
    }
    if (watched == deviceList_->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonDblClick: openSelectedDevice(); break;
            case QEvent::ToolTip: return true;  // tooltips are off
            default: break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        centreOnScreen();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Nothing is unsaved, so the program ends at once, even in the middle of a search: that
    // search is abandoned with its socket when the window is destroyed.
    event->accept();
    Q_EMIT quitRequested();
}

void MainWindow::centreOnScreen() {
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

bool MainWindow::search() {
    switch (searchRunner_->start()) {
        case Search::StartOutcome::Started:
        case Search::StartOutcome::Failed: return true;
        case Search::StartOutcome::AlreadyRunning:
        case Search::StartOutcome::LookUpFailed: return false;
    }
    return false;
}

void MainWindow::showSearching() {
    searchAnimation_->start();
    searchAnimation_->show();
}

void MainWindow::stopAnimation() {
    searchAnimation_->stop();
    searchAnimation_->hide();
}

void MainWindow::listDevices(const std::vector<DeviceView>& devices) {
    const std::optional<DeviceView> previous = selectedDevice();
    // The rebuild passes through selections that are no user's; the caller shows the details.
    const QSignalBlocker quiet(deviceList_);
    deviceList_->clear();
    QListWidgetItem* chosen = nullptr;
    for (const DeviceView& device : devices) {
        QListWidgetItem* item = makeDeviceItem(device, deviceImages_->icon(device.iconIndex));
        deviceList_->addItem(item);
        if (chosen == nullptr && previous && device.sameDeviceAs(*previous)) {
            chosen = item;
        }
    }
    if (chosen == nullptr && deviceList_->count() > 0) {
        chosen = deviceList_->item(0);
    }
    if (chosen != nullptr) {
        // Selected only, not made current, as the first search of the program left it.
        chosen->setSelected(true);
    }
}

void MainWindow::showResult(const SearchResult& result) {
    listDevices(result.devices);
    deviceList_->viewport()->update();
    if (const std::optional<DeviceView> device = selectedDevice()) {
        setStatusText(shownDeviceText(deviceStatusText(*device)));
    } else {
        // The details shown may be of a device that is no longer there.
        setStatusText(fromDeviceBytes(StartHint));
    }
    showHint(countLabel_,
             QString::fromStdString(shownCountText(static_cast<int>(result.devices.size()),
                                                   result.leftOut, result.lostReplies)));
    showNetworksHint();
    stopAnimation();
    Q_EMIT searchFinished();
}

void MainWindow::showFailure(const Error& error) {
    stopAnimation();
    Q_EMIT searchFailed(error);
}

std::optional<DeviceView> MainWindow::selectedDevice() const {
    const QList<QListWidgetItem*> selected = deviceList_->selectedItems();
    return selected.isEmpty() ? std::nullopt : deviceOf(selected.front());
}

void MainWindow::showSelectedDevice() {
    // A deselection keeps the details: the device is still listed.
    if (const std::optional<DeviceView> device = selectedDevice()) {
        setStatusText(shownDeviceText(deviceStatusText(*device)));
    }
}

QString MainWindow::statusText() const {
    return statusLabel_->text();
}

void MainWindow::setStatusText(const QString& text) {
    // A label without an accessible name of its own tells screen readers of its new text
    // itself (a name change), so none of the status bar's labels is given one.
    statusLabel_->setText(text);
}

void MainWindow::copySelectedDevice() {
    const std::optional<DeviceView> device = selectedDevice();
    if (!device) {
        return;
    }
    // The box counts what is copied: the text without its control characters, which could
    // act on a terminal that it is pasted into, and without the line break appended to it.
    const QString text = copiedDeviceText(device->copyText);
    MessageDialog::showNotice(QString::number(text.size()), [text] {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        if (!text.isEmpty()) {
            clipboard->setText(text + QStringLiteral("\r\n"));
        }
    });
}

void MainWindow::openSelectedDevice() {
    const std::optional<DeviceView> device = selectedDevice();
    if (!device) {
        setStatusText(fromDeviceBytes(OpenHint));
        return;
    }
    QDesktopServices::openUrl(
        QUrl(QStringLiteral("http://") + QString::fromStdString(formatIpv4(device->ipv4))));
}

void MainWindow::toggleAutoRefresh() {
    autoRefreshAction_->toggle();
}

void MainWindow::setSearchAllNetworks(bool on) {
    allNetworksAction_->setChecked(on);
    searchRunner_->setAllNetworks(on);
    showNetworksHint();
}

void MainWindow::saveSearchAllNetworks(bool on) {
    QSettings settings = userSettings();
    settings.setValue(QString::fromLatin1(AllNetworksKey), on);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        // The choice holds for this run all the same; only the next run would not know it.
        setStatusText(QStringLiteral("Settings could not be saved: ") +
                      visibleText(QDir::toNativeSeparators(settings.fileName())));
    }
}

void MainWindow::showNetworksHint() {
    // Only while the list is empty: then the user may wonder where the search looked.
    const QString text = deviceList_->count() > 0          ? QString()
                         : allNetworksAction_->isChecked() ? QStringLiteral("All networks")
                                                           : QStringLiteral("One network");
    showHint(networksLabel_, text);
}

}  // namespace nimbrel
