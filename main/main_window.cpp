// SPDX-License-Identifier: MIT
#include "main/main_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <utility>

#include "discovery/model_icons.h"
#include "main/device_list.h"
#include "main/device_model.h"
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

// Where the settings are kept: the platform's usual place for the user's settings
// (~/.config/Nimbrel/nimbrel-utility.conf on Linux, the registry on Windows).
constexpr auto SettingsOrganization = "Nimbrel";
constexpr auto SettingsApplication = "nimbrel-utility";
constexpr auto AllNetworksKey = "searchAllNetworks";
constexpr auto ViewKey = "view";
constexpr auto SizeKey = "windowSize";
constexpr auto PositionKey = "windowPosition";
constexpr auto MaximizedKey = "windowMaximized";

QSettings userSettings() {
    return QSettings(QString::fromLatin1(SettingsOrganization),
                     QString::fromLatin1(SettingsApplication));
}

QVariant setting(const char* key) {
    return userSettings().value(QString::fromLatin1(key));
}

// The client area as the window opens the first time, and the least it can be made.
constexpr QSize DesignClientSize(392, 405);
constexpr QSize MinimumClientSize(200, 150);
constexpr int StatusBarHeight = 24;
// The animation's place, from the centre of the list's panel.
constexpr QPoint AnimationFromCentre(-9, 7);

// The views as the settings file names them, in the order of MainWindow::View.
const char* const ViewNames[] = {"largeImage", "smallImage", "details"};

// The column whose indexes a view lays out: the icon views show the caption column only.
int laidOutColumn(MainWindow::View view) {
    return view == MainWindow::View::Details ? DeviceModel::Model : DeviceModel::Caption;
}

MainWindow::View viewNamed(const QString& name) {
    for (int view = 0; view < static_cast<int>(std::size(ViewNames)); ++view) {
        if (name == QLatin1String(ViewNames[view])) {
            return static_cast<MainWindow::View>(view);
        }
    }
    return MainWindow::View::LargeImage;
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

MainWindow::MainWindow(std::unique_ptr<SearchRunner> searchRunner, std::unique_ptr<WallClock> clock)
    : QMainWindow(nullptr, mainWindowFlags()),
      searchRunner_(std::move(searchRunner)),
      clock_(clock ? std::move(clock) : std::make_unique<SystemClock>()),
      history_(*clock_) {
    setObjectName(QStringLiteral("mainWindow"));
    //: The window's caption; it starts with a blank.
    setWindowTitle(tr(" Nimbrel AP/Bridge/CloudAP Utility Config"));
    createParts();
    createMenu();
    createContextMenu();
    connectParts();
    setSearchAllNetworks(setting(AllNetworksKey).toBool());
    setView(viewNamed(setting(ViewKey).toString()));
    // Sized now, so that the native window is created at this size when first shown: X11
    // without a window manager would otherwise keep Qt's default size.
    centralWidget()->setMinimumSize(DesignClientSize);
    adjustSize();
    centralWidget()->setMinimumSize(MinimumClientSize);
    layout()->activate();
    restoreSize();
}

MainWindow::~MainWindow() = default;

void MainWindow::createParts() {
    QPalette buttonFace = palette();
    buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
    setPalette(buttonFace);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    deviceImages_ = new ImageList(ImageCount, QSize(32, 32), this);
    deviceImages_->setObjectName(QStringLiteral("deviceImages"));
    model_ = new DeviceModel(deviceImages_, this);
    model_->setObjectName(QStringLiteral("deviceModel"));
    shownModel_ = new DeviceFilterModel(this);
    shownModel_->setObjectName(QStringLiteral("shownDevices"));
    shownModel_->setSourceModel(model_);

    layout->addWidget(createListPanel(client), 1);
    createStatusBar(client);
    layout->addWidget(statusBar_);

    autoRefreshTimer_ = new QTimer(this);
    autoRefreshTimer_->setObjectName(QStringLiteral("autoRefreshTimer"));
    autoRefreshTimer_->setInterval(AutoRefreshMilliseconds);
}

QFrame* MainWindow::createListPanel(QWidget* client) {
    listPanel_ = new QFrame(client);
    listPanel_->setObjectName(QStringLiteral("listPanel"));
    listPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    listPanel_->setLineWidth(1);
    auto* layout = new QVBoxLayout(listPanel_);  // inside the frame
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createFindBar(listPanel_);
    layout->addWidget(findBar_);
    createViews(listPanel_);
    layout->addWidget(views_, 1);

    searchAnimation_ = new SearchAnimation(listPanel_);
    searchAnimation_->setObjectName(QStringLiteral("searchAnimation"));
    searchAnimation_->setAccessibleName(tr("Searching for devices"));
    searchAnimation_->resize(80, 50);
    searchAnimation_->hide();
    searchAnimation_->raise();
    listPanel_->installEventFilter(this);
    return listPanel_;
}

void MainWindow::createViews(QWidget* panel) {
    views_ = new QStackedWidget(panel);
    views_->setObjectName(QStringLiteral("deviceViews"));
    // The views' own wishes do not size the window: it opens at its design size.
    views_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);

    deviceList_ = new DeviceList(views_);
    deviceList_->setObjectName(QStringLiteral("deviceList"));
    //: Name of the device list for screen readers.
    deviceList_->setAccessibleName(tr("Devices found"));
    deviceList_->setModel(shownModel_);
    deviceList_->setModelColumn(DeviceModel::Caption);

    deviceTable_ = new QTableView(views_);
    deviceTable_->setObjectName(QStringLiteral("deviceTable"));
    deviceTable_->setAccessibleName(tr("Devices found"));
    deviceTable_->setModel(shownModel_);
    // Several rows can be selected here (Ctrl+A selects all) to be copied together.
    deviceTable_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    deviceTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    deviceTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    deviceTable_->setIconSize(QSize(16, 16));
    deviceTable_->setWordWrap(false);
    deviceTable_->setShowGrid(false);
    deviceTable_->verticalHeader()->hide();
    deviceTable_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    deviceTable_->setColumnHidden(DeviceModel::Caption, true);
    fitColumnsToFont();
    QHeaderView* header = deviceTable_->horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    header->setSortIndicatorClearable(true);
    // No sort at first: the devices in the order of their first reply, as the icon views.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    deviceTable_->setSortingEnabled(true);

    // One selection for all views, so that switching keeps it; the window owns it.
    auto* shared = new QItemSelectionModel(shownModel_, this);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(deviceList_),
                                    static_cast<QAbstractItemView*>(deviceTable_)}) {
        QItemSelectionModel* own = view->selectionModel();
        view->setSelectionModel(shared);
        delete own;
        // The selection stays as visible while the view has no keyboard focus.
        QPalette selection = view->palette();
        for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
            selection.setColor(QPalette::Inactive, role, selection.color(QPalette::Active, role));
        }
        view->setPalette(selection);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        views_->addWidget(view);
    }
    deviceList_->setFocus();
}

void MainWindow::fitColumnsToFont() {
    // Room for the usual texts of each column; a longer one is cut with "…" until the user
    // widens its column.
    const QFontMetrics metrics(deviceTable_->font());
    const int padding = 2 * metrics.averageCharWidth() + deviceTable_->iconSize().width() / 2;
    const std::pair<DeviceModel::Column, QString> widest[] = {
        {DeviceModel::Model, QStringLiteral("QZL-TMR1-AC-A 0000")},
        {DeviceModel::Ipv4, QStringLiteral("000.000.000.000")},
        {DeviceModel::Mac, QStringLiteral("00-00-00-00-00-00")},
        {DeviceModel::Firmware, QStringLiteral("0.0.00 Jan 00 0000")},
        {DeviceModel::Interface, QStringLiteral("enp0s00f0")},
        {DeviceModel::LastSeen, QStringLiteral("00:00:00")}};
    for (const auto& [column, text] : widest) {
        deviceTable_->setColumnWidth(column, metrics.horizontalAdvance(text) + padding);
    }
    deviceTable_->verticalHeader()->setDefaultSectionSize(
        std::max(metrics.height(), deviceTable_->iconSize().height()) + 4);
}

void MainWindow::createFindBar(QWidget* panel) {
    findBar_ = new QWidget(panel);
    findBar_->setObjectName(QStringLiteral("findBar"));
    auto* layout = new QHBoxLayout(findBar_);
    layout->setContentsMargins(2, 2, 2, 2);
    //: The label of the find field; the letter after & is its access key.
    auto* label = new QLabel(tr("&Find:"), findBar_);
    findField_ = new QLineEdit(findBar_);
    findField_->setObjectName(QStringLiteral("findField"));
    //: Name of the find field for screen readers; it narrows the list of devices.
    findField_->setAccessibleName(tr("Find devices"));
    findField_->setPlaceholderText(tr("Model, IPv4, MAC or firmware"));
    findField_->setClearButtonEnabled(true);
    label->setBuddy(findField_);
    layout->addWidget(label);
    layout->addWidget(findField_, 1);
    findField_->installEventFilter(this);
    findBar_->hide();
}

void MainWindow::createStatusBar(QWidget* client) {
    statusBar_ = new QStatusBar(client);
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    //: Name of the status bar for screen readers.
    statusBar_->setAccessibleName(tr("Status"));
    statusBar_->setFixedHeight(StatusBarHeight);
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
    setStatusText(startHint());
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
        saveSetting(AllNetworksKey, on);
        // What the list shows was found the other way: search again at once.
        search();
    });
    connect(saveListAction_, &QAction::triggered, this, &MainWindow::askToSaveList);
    const std::pair<QAction*, View> viewActions[] = {{largeImageAction_, View::LargeImage},
                                                     {smallImageAction_, View::SmallImage},
                                                     {detailsAction_, View::Details}};
    for (const auto& [action, shown] : viewActions) {
        connect(action, &QAction::triggered, this, [this, view = shown] {
            setView(view);
            saveSetting(ViewKey, QString::fromLatin1(ViewNames[static_cast<int>(view)]));
        });
    }
    connect(findAction_, &QAction::triggered, this, &MainWindow::openFind);
    connect(findField_, &QLineEdit::textChanged, this, &MainWindow::setFindText);

    connect(selection(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::showSelectedDevice);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(deviceList_),
                                    static_cast<QAbstractItemView*>(deviceTable_)}) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& position) { showContextMenu(view, position); });
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == listPanel_ && event->type() == QEvent::Resize) {
        placeAnimation();
    } else if (watched == findField_ && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        closeFind();
        return true;
    } else if (viewEvent(watched, event)) {
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::viewEvent(QObject* watched, QEvent* event) {
    if ((watched == deviceList_ || watched == deviceTable_) && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if ((press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter) &&
            (press->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // Enter, on the main keys or the keypad, opens as a double-click does.
            openSelectedDevice();
            return true;
        }
        const char key = keyCharacter(press->key(), press->modifiers(), press->text());
        if (key == 3) {
            copySelectedDevice();
        }
        // The views would copy the caption on Ctrl+C themselves; the copy is ours alone.
        return key == 3;
    }
    if (watched == deviceList_->viewport() || watched == deviceTable_->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonDblClick: openSelectedDevice(); break;
            case QEvent::ToolTip: return true;  // tooltips are off
            default: break;
        }
    }
    return false;
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!placed_) {
        placed_ = true;
        placeOnScreen();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Nothing is unsaved but where the window was, so the program ends at once, even in the
    // middle of a search: that search is abandoned with its socket when the window is destroyed.
    if (placed_) {
        QSettings settings = userSettings();
        settings.setValue(QString::fromLatin1(MaximizedKey), isMaximized());
        // A maximised or minimised window keeps the size and place it had before.
        if (!isMaximized() && !isMinimized()) {
            settings.setValue(QString::fromLatin1(SizeKey), size());
            settings.setValue(QString::fromLatin1(PositionKey), pos());
        }
    }
    event->accept();
    Q_EMIT quitRequested();
}

void MainWindow::restoreSize() {
    const QSize saved = setting(SizeKey).toSize();
    if (saved.isValid()) {
        QSize most = saved;
        if (const QScreen* screen = this->screen()) {
            most = most.boundedTo(screen->availableGeometry().size());
        }
        resize(most.expandedTo(minimumSizeHint()));
    }
    if (setting(MaximizedKey).toBool()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void MainWindow::placeOnScreen() {
    // Now that the frame is known: the whole window, frame and all, fits the screen.
    if (const QScreen* screen = this->screen(); screen != nullptr && !isMaximized()) {
        const QSize frame = frameGeometry().size() - size();
        const QSize room = screen->availableGeometry().size() - frame;
        if (width() > room.width() || height() > room.height()) {
            resize(size().boundedTo(room).expandedTo(minimumSizeHint()));
        }
    }
    // A saved place is taken only where its title bar lies on a screen of today's set-up.
    const QVariant saved = setting(PositionKey);
    if (saved.isValid()) {
        const QPoint position = saved.toPoint();
        const QPoint titleBar = position + QPoint(frameGeometry().width() / 2, 8);
        if (QGuiApplication::screenAt(titleBar) != nullptr) {
            move(position);
            return;
        }
    }
    centreOnScreen();
}

void MainWindow::placeAnimation() {
    const QPoint centre(listPanel_->width() / 2, listPanel_->height() / 2);
    searchAnimation_->move(centre + AnimationFromCentre);
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

void MainWindow::listDevices(const SearchResult& result) {
    // The rows are replaced by a reset, which forgets the selection and the current item: both
    // are found again by the history's ids, which stay with a device while it is followed.
    std::vector<std::uint64_t> selected;
    for (const QModelIndex& index : selectedRows()) {
        selected.push_back(model_->row(shownModel_->mapToSource(index).row()).id);
    }
    const QModelIndex current = shownModel_->mapToSource(selection()->currentIndex());
    const std::uint64_t currentId = current.isValid() ? model_->row(current.row()).id : 0;
    history_.update(result);
    model_->setEntries(history_.entries(), std::exchange(searchedBefore_, true));
    restoreSelection(selected, currentId);
}

void MainWindow::restoreSelection(const std::vector<std::uint64_t>& selected,
                                  std::uint64_t current) {
    QItemSelection rows;
    for (int row = 0; row < model_->rowCount(); ++row) {
        const std::uint64_t id = model_->row(row).id;
        const QModelIndex shown = shownModel_->mapFromSource(model_->index(row, 0));
        if (!shown.isValid()) {
            continue;
        }
        if (std::find(selected.begin(), selected.end(), id) != selected.end()) {
            rows.select(shown, shown);
        }
        if (id == current) {
            selection()->setCurrentIndex(shown.siblingAtColumn(laidOutColumn(view_)),
                                         QItemSelectionModel::NoUpdate);
            shownView()->scrollTo(selection()->currentIndex());
        }
    }
    if (rows.isEmpty()) {
        selectRow(shownModel_->index(0, 0));
    } else {
        selection()->select(rows, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

void MainWindow::selectRow(const QModelIndex& index) {
    if (index.isValid()) {
        // Selected only, not made current, as the first search of the program left it.
        selection()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

void MainWindow::selectFirstIfNone() {
    if (!selection()->hasSelection()) {
        selectRow(shownModel_->index(0, 0));
    }
}

QItemSelectionModel* MainWindow::selection() const {
    return deviceList_->selectionModel();
}

QAbstractItemView* MainWindow::shownView() const {
    return view_ == View::Details ? static_cast<QAbstractItemView*>(deviceTable_) : deviceList_;
}

void MainWindow::setView(View view) {
    const bool hadFocus = shownView()->hasFocus();
    view_ = view;
    largeImageAction_->setChecked(view == View::LargeImage);
    smallImageAction_->setChecked(view == View::SmallImage);
    detailsAction_->setChecked(view == View::Details);
    deviceList_->setCompact(view == View::SmallImage);
    views_->setCurrentWidget(shownView());
    // The views share the current index too: it moves to a column that the shown view lays out,
    // or the arrow keys of an icon view would start again from the first device.
    if (const QModelIndex current = selection()->currentIndex(); current.isValid()) {
        selection()->setCurrentIndex(current.siblingAtColumn(laidOutColumn(view)),
                                     QItemSelectionModel::NoUpdate);
    }
    if (const QModelIndexList selected = selection()->selectedRows(); !selected.isEmpty()) {
        shownView()->scrollTo(selected.front());
    }
    if (hadFocus) {
        shownView()->setFocus();
    }
}

void MainWindow::openFind() {
    findBar_->show();
    findField_->setFocus();
    findField_->selectAll();
}

void MainWindow::closeFind() {
    findField_->clear();
    findBar_->hide();
    shownView()->setFocus();
}

void MainWindow::setFindText(const QString& text) {
    if (findField_->text() != text) {
        findField_->setText(text);  // comes back here through textChanged
        return;
    }
    if (!text.isEmpty()) {
        findBar_->show();
    }
    const bool hadSelection = selection()->hasSelection();
    shownModel_->setFindText(text);
    if (hadSelection) {
        selectFirstIfNone();
    }
    showCount();
}

void MainWindow::showCount() {
    const int shown = shownModel_->rowCount();
    const int found = model_->rowCount() + leftOut_;
    showHint(countLabel_, shownCountText(shown, found - shown, lostReplies_,
                                         !shownModel_->findText().isEmpty()));
}

void MainWindow::showResult(const SearchResult& result) {
    leftOut_ = result.leftOut;
    lostReplies_ = result.lostReplies;
    droppedDatagrams_ = result.droppedDatagrams;
    listDevices(result);
    if (selectedRow()) {
        setStatusText(selectedDeviceText());
    } else {
        // The details shown may be of a device that is no longer there.
        setStatusText(startHint());
    }
    showCount();
    showNetworksHint();
    stopAnimation();
    Q_EMIT searchFinished();
}

void MainWindow::showFailure(const Error& error) {
    stopAnimation();
    Q_EMIT searchFailed(error);
}

QModelIndexList MainWindow::selectedRows() const {
    QModelIndexList rows = selection()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    return rows;
}

QModelIndex MainWindow::chosenIndex() const {
    const QModelIndex current = selection()->currentIndex();
    if (current.isValid() && selection()->isRowSelected(current.row())) {
        return current;
    }
    const QModelIndexList selected = selectedRows();
    return selected.isEmpty() ? QModelIndex() : selected.front();
}

std::optional<HistoryEntry> MainWindow::selectedRow() const {
    const QModelIndex chosen = chosenIndex();
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return model_->row(shownModel_->mapToSource(chosen).row());
}

std::optional<DeviceView> MainWindow::selectedDevice() const {
    if (const std::optional<HistoryEntry> row = selectedRow()) {
        return row->device;
    }
    return std::nullopt;
}

QString MainWindow::selectedDeviceText() const {
    const std::optional<HistoryEntry> row = selectedRow();
    if (!row) {
        return {};
    }
    QString text = deviceStatusText(row->device);
    if (allNetworksAction_->isChecked()) {
        //: After a device's details in the status bar: the network interface it answered on.
        text += tr("  Interface: %1").arg(interfaceCaption(row->device));
    }
    if (row->state() == HistoryEntry::State::Missing) {
        //: After a device's details in the status bar: %1 is the time of day it last answered.
        text += tr("  not answering since %1").arg(shownTime(row->lastSeen));
    }
    return text;
}

void MainWindow::showSelectedDevice() {
    // A deselection keeps the details: the device is still listed.
    if (selectedRow()) {
        setStatusText(selectedDeviceText());
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
        setStatusText(openHint());
        return;
    }
    const QUrl address(QStringLiteral("http://") +
                       QString::fromStdString(formatIpv4(device->ipv4)));
    if (!QDesktopServices::openUrl(address)) {
        //: In the status bar when no web browser could be started; %1 is the device's address.
        setStatusText(tr("Could not open %1").arg(address.toString()));
    }
}

void MainWindow::toggleAutoRefresh() {
    autoRefreshAction_->toggle();
}

void MainWindow::setSearchAllNetworks(bool on) {
    allNetworksAction_->setChecked(on);
    searchRunner_->setAllNetworks(on);
    deviceTable_->setColumnHidden(DeviceModel::Interface, !on);
    model_->setShowInterfaces(on);
    deviceList_->setInterfaceLine(on);
    showSelectedDevice();
    showNetworksHint();
}

void MainWindow::saveSetting(const char* key, const QVariant& value) {
    QSettings settings = userSettings();
    settings.setValue(QString::fromLatin1(key), value);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        // The choice holds for this run all the same; only the next run would not know it.
        //: In the status bar; %1 is the settings file.
        setStatusText(tr("Settings could not be saved: %1")
                          .arg(visibleText(QDir::toNativeSeparators(settings.fileName()))));
    }
}

void MainWindow::showNetworksHint() {
    // Only while the list is empty: then the user may wonder where the search looked.
    //: Status bar, while no device is listed: the search covered every network of the computer.
    const QString all = tr("All networks");
    //: Status bar, while no device is listed: the search covered only the computer's network.
    const QString one = tr("One network");
    const QString text = model_->rowCount() > 0            ? QString()
                         : allNetworksAction_->isChecked() ? all
                                                           : one;
    showHint(networksLabel_, text);
}

}  // namespace nimbrel
