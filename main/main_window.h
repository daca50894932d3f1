// Form1: the program's working window, with the device list, the search animation, the status
// bar, the menu and the handlers behind them.
#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <chrono>
#include <functional>
#include <memory>

#include "discovery/device_table.h"
#include "discovery/endpoint.h"
#include "discovery/search_cycle.h"

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTimer;

namespace nimbrel {

class ImageList;
class SearchAnimation;

/// What the window takes from outside; the shipped program uses the defaults.
struct FormDependencies {
    EndpointSettings endpoint{};
    std::chrono::milliseconds pause{1000};
    SearchCycle::LocalAddressLookup lookup = LookUpLocalAddress;
    /// Asked when the window is closed; the main loop ends once the running handler returns.
    std::function<void()> requestQuit = [] { QCoreApplication::exit(0); };
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    /// Creates the window's parts (the endpoint opens its first socket here), then delivers the
    /// creation handler through the application, so that a failure in it is reported and the
    /// window is still created.
    explicit TForm1(FormDependencies dependencies = {});
    ~TForm1() override;

    /// What the About command shows; set by the application once the About window exists.
    void SetAboutAction(std::function<void()> action);

    QString StatusText() const;
    const DeviceTable& Table() const { return *table_; }

public Q_SLOTS:
    void FormCreate();
    void FormShow();
    void bbrowClick();
    void tmr1Timer();
    void AutoRefresh1Click();
    void ServerListSelectItem();
    void ServerListKeyPress(char key);
    void ListView1DblClick();
    void ServerListMouseDown();
    void larClick();
    void smClick();
    void aboutClick();
    void sepClick();
    void FillServerList(int count);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateComponents();
    void CreateMenu();
    void ConnectHandlers();
    SearchHooks MakeSearchHooks();
    void MatchTimerToAutoRefresh();
    void SetStatusText(const QString& text);
    int SelectedIndex() const;
    void CentreOnScreen();
    void FirstShown();

    FormDependencies dependencies_;
    std::unique_ptr<DeviceTable> table_;
    std::unique_ptr<UdpEndpoint> idpclnt_discover;
    std::unique_ptr<SearchCycle> search_;
    std::function<void()> aboutAction_;
    bool shownBefore_ = false;

    // Designer names; the window's children own them.
    QFrame* Panel2 = nullptr;
    QListWidget* ServerList = nullptr;
    ImageList* ImageList1 = nullptr;
    SearchAnimation* Animate1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* statusLabel_ = nullptr;
    QTimer* tmr1 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QAction* mnifile = nullptr;
    QAction* AutoRefresh1 = nullptr;
    QAction* bbrow = nullptr;
    QAction* open = nullptr;
    QAction* sep = nullptr;
    QAction* view = nullptr;
    QAction* lar = nullptr;
    QAction* sm = nullptr;
    QAction* N1 = nullptr;
    QAction* about = nullptr;
};

/// Items keep the image index of ImageList1 that they show under this role.
inline constexpr int ImageIndexRole = Qt::UserRole;

/// The character code of a key press as a Windows list view receives it: Ctrl+letter as the
/// control code (Ctrl+C is 3), otherwise the typed character; 0 when the press types nothing.
char KeyCharacter(int key, Qt::KeyboardModifiers modifiers, const QString& text);

}  // namespace nimbrel
