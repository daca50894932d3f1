#include "main/main_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <string>

#include "main/device_item_delegate.h"
#include "main/image_list.h"
#include "main/message_dialog.h"
#include "main/model_icons.h"
#include "main/search_animation.h"
#include "main/status_text.h"
#include "main/text.h"
#include "main/window_platform.h"

namespace nimbrel {

namespace {

constexpr int AutoRefreshMilliseconds = 8000;

QEvent::Type FormCreateEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace

char KeyCharacter(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
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

TForm1::TForm1(FormDependencies dependencies)
    : QMainWindow(nullptr, MainWindowFlags()),
      dependencies_(std::move(dependencies)),
      table_(std::make_unique<DeviceTable>()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral(" Nimbrel AP/Bridge/CloudAP Utility Config"));
    CreateComponents();
    CreateMenu();
    // Sized now, so that the native window is created at this size when first shown: created at
    // Qt's default size instead, X11 reports that size back during the show-time search's event
    // passes, and without a window manager that enforces the fixed size the window keeps it.
    adjustSize();
    // The endpoint opens its first socket among the window's parts; a failure here is no
    // handler's and ends the construction.
    idpclnt_discover = std::make_unique<UdpEndpoint>(dependencies_.endpoint);
    search_ = std::make_unique<SearchCycle>(*table_, *idpclnt_discover, MakeSearchHooks(),
                                            dependencies_.lookup, dependencies_.pause);
    ConnectHandlers();

    QEvent created(FormCreateEventType());
    QCoreApplication::sendEvent(this, &created);
}

TForm1::~TForm1() = default;

void TForm1::SetAboutAction(std::function<void()> action) {
    aboutAction_ = std::move(action);
}

QString TForm1::StatusText() const {
    return statusLabel_->text();
}

void TForm1::CreateComponents() {
    QPalette buttonFace = palette();
    buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
    setPalette(buttonFace);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(392, 405);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Panel2 = new QFrame(client);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, 0, 392, 381);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setLineWidth(1);

    ImageList1 = new ImageList(ImageCount, QSize(32, 32), this);
    ImageList1->setObjectName(QStringLiteral("ImageList1"));

    ServerList = new QListWidget(Panel2);
    ServerList->setObjectName(QStringLiteral("ServerList"));
    ServerList->setGeometry(1, 1, 390, 379);
    ServerList->setViewMode(QListView::IconMode);
    ServerList->setMovement(QListView::Static);
    ServerList->setResizeMode(QListView::Adjust);
    ServerList->setSelectionMode(QAbstractItemView::SingleSelection);
    ServerList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ServerList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ServerList->setIconSize(ImageList1->ImageSize());
    ServerList->setGridSize(QSize(112, 66));
    ServerList->setWordWrap(true);
    ServerList->setItemDelegate(new DeviceItemDelegate(ServerList));
    QPalette selection = ServerList->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        selection.setColor(QPalette::Inactive, role, selection.color(QPalette::Active, role));
    }
    ServerList->setPalette(selection);
    ServerList->setFocus();

    Animate1 = new SearchAnimation(Panel2);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setGeometry(187, 197, 80, 50);
    Animate1->hide();
    Animate1->raise();

    StatusBar1 = new QStatusBar(client);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setGeometry(0, 381, 392, 24);
    StatusBar1->setSizeGripEnabled(false);
    // A label of our own rather than showMessage: nothing else may replace or clear the text.
    statusLabel_ = new QLabel(StatusBar1);
    statusLabel_->setObjectName(QStringLiteral("StatusText"));
    statusLabel_->setTextFormat(Qt::PlainText);
    StatusBar1->addWidget(statusLabel_, 1);
    SetStatusText(FromDeviceBytes(StartHint));

    tmr1 = new QTimer(this);
    tmr1->setObjectName(QStringLiteral("tmr1"));
    tmr1->setInterval(AutoRefreshMilliseconds);
}

void TForm1::ConnectHandlers() {
    connect(bbrow, &QAction::triggered, this, &TForm1::bbrowClick);
    connect(open, &QAction::triggered, this, &TForm1::ListView1DblClick);
    connect(sep, &QAction::triggered, this, &TForm1::sepClick);
    connect(lar, &QAction::triggered, this, &TForm1::larClick);
    connect(sm, &QAction::triggered, this, &TForm1::smClick);
    connect(about, &QAction::triggered, this, &TForm1::aboutClick);
    connect(AutoRefresh1, &QAction::triggered, this, [this] {
        // The menu has already toggled the mark; the handler toggles it itself.
        AutoRefresh1->setChecked(!AutoRefresh1->isChecked());
        AutoRefresh1Click();
    });
    connect(tmr1, &QTimer::timeout, this, &TForm1::tmr1Timer);
    connect(ServerList, &QListWidget::itemSelectionChanged, this, &TForm1::ServerListSelectItem);
    ServerList->installEventFilter(this);
    ServerList->viewport()->installEventFilter(this);
}

SearchHooks TForm1::MakeSearchHooks() {
    return SearchHooks{
        .eventPass = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); },
        .startAnimation =
            [this] {
                Animate1->Start();
                Animate1->show();
            },
        .stopAnimation =
            [this] {
                Animate1->Stop();
                Animate1->hide();
            },
        .fillServerList = [this](const DeviceTable&, int count) { FillServerList(count); },
    };
}

bool TForm1::event(QEvent* event) {
    if (event->type() == FormCreateEventType()) {
        FormCreate();
        return true;
    }
    return QMainWindow::event(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ServerList && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        const char key = KeyCharacter(press->key(), press->modifiers(), press->text());
        if (key != 0) {
            ServerListKeyPress(key);
        }
        // The list view would copy the caption on Ctrl+C itself; the copy is ours alone.
        return key == 3;
    }
    if (watched == ServerList->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonPress: ServerListMouseDown(); break;
            case QEvent::MouseButtonDblClick: ListView1DblClick(); break;
            case QEvent::ToolTip: return true;  // tooltips are off
            default: break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Shown minimised, the window is only a taskbar entry: the show-time search waits until
    // the window is first restored onto the screen.
    if (!shownBefore_ && !isMinimized()) {
        FirstShown();
    }
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !shownBefore_ && isVisible() &&
        !isMinimized()) {
        FirstShown();
    }
}

void TForm1::FirstShown() {
    shownBefore_ = true;
    // Qt sends the show event before the window is mapped, so the second search ends before
    // the window reaches the screen. The placement comes first so that a failed search cannot
    // skip it.
    CentreOnScreen();
    FormShow();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The window stays until the main loop ends, which it does once the running handler (a
    // search, perhaps) has returned.
    event->ignore();
    if (dependencies_.requestQuit) {
        dependencies_.requestQuit();
    }
}

void TForm1::CentreOnScreen() {
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TForm1::FormCreate() {
    bbrow->trigger();
    MatchTimerToAutoRefresh();
}

void TForm1::FormShow() {
    bbrow->trigger();
}

void TForm1::bbrowClick() {
    // A trigger from inside a running search's event pass is ignored.
    search_->Run();
}

void TForm1::tmr1Timer() {
    bbrow->trigger();
}

void TForm1::AutoRefresh1Click() {
    AutoRefresh1->setChecked(!AutoRefresh1->isChecked());
    MatchTimerToAutoRefresh();
}

void TForm1::MatchTimerToAutoRefresh() {
    if (AutoRefresh1->isChecked()) {
        tmr1->start();
    } else {
        tmr1->stop();
    }
}

int TForm1::SelectedIndex() const {
    const QList<QListWidgetItem*> selected = ServerList->selectedItems();
    return selected.isEmpty() ? -1 : ServerList->row(selected.front());
}

void TForm1::SetStatusText(const QString& text) {
    statusLabel_->setText(text);
}

void TForm1::ServerListSelectItem() {
    const int record = SelectedIndex();
    if (record < 0) {
        return;  // a deselection keeps the details of the device selected before
    }
    SetStatusText(FromDeviceBytes(DeviceStatusText(*table_, record)));
}

void TForm1::ServerListKeyPress(char key) {
    const int record = SelectedIndex();
    if (key != 3 || record < 0) {
        return;
    }
    // Taken before the box: a search may run behind it and refill the table.
    const std::string text(table_->CopyText(record));
    MessageDialog::ShowNotice(QString::number(text.size()));
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (!text.empty()) {
        clipboard->setText(FromDeviceBytes(text) + QStringLiteral("\r\n"));
    }
}

void TForm1::ListView1DblClick() {
    const int record = SelectedIndex();
    if (record < 0) {
        SetStatusText(FromDeviceBytes(OpenHint));
        return;
    }
    const std::string address = FormatIpv4(table_->Ipv4Address(record));
    QDesktopServices::openUrl(QUrl(QStringLiteral("http://") + QString::fromStdString(address)));
}

void TForm1::ServerListMouseDown() {}

// Both View commands give the list ImageList1 as its large images, which it already has: the
// list stays as it is.
void TForm1::larClick() {}

void TForm1::smClick() {}

void TForm1::aboutClick() {
    if (aboutAction_) {
        aboutAction_();
    }
}

void TForm1::sepClick() {
    close();
}

void TForm1::FillServerList(int count) {
    ServerList->clear();
    for (int record = 0; record < count; ++record) {
        const std::string_view model = table_->ModelText(record);
        const IconChoice choice = ChooseModelIcon(model);
        if (choice.clearFirstMacByte) {
            table_->ClearFirstMacByte(record);
        }
        auto* item =
            new QListWidgetItem(FromDeviceBytes(model) + QLatin1Char(' ') +
                                QString::fromStdString(FormatIpv4(table_->Ipv4Address(record))));
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        item->setData(ImageIndexRole, choice.imageIndex);
        item->setIcon(ImageList1->Icon(choice.imageIndex));
        ServerList->addItem(item);
    }
    if (count >= 1) {
        // Selected only, not made current: the selection reports the device's details.
        ServerList->item(0)->setSelected(true);
    }
}

}  // namespace nimbrel
