#include "app/startup.h"

#include <QEventLoop>
#include <exception>

#include "about/about_box.h"
#include "app/fatal_report.h"
#include "app/termination.h"

namespace nimbrel {

Startup::Startup(FormDependencies dependencies, int showCommand)
    : dependencies_(std::move(dependencies)),
      showCommand_(showCommand),
      mainLoop_(std::make_unique<QEventLoop>()),
      termination_(std::make_unique<Termination>([this] { EndLoopsOnTermination(); })) {
    dependencies_.requestQuit = [this] { termination_->RequestQuit(); };
}

Startup::~Startup() {
    ShutDown();
}

int Startup::Run() {
    if (!Start()) {
        return FatalExitStatus;
    }
    RunEventLoop();
    ShutDown();
    return 0;
}

bool Startup::Start() {
    windows_.emplace();
    try {
        // A failure while the window's parts are created (its endpoint's socket) is no
        // handler's; one in its creation handler is reported by the application and the
        // window is still created.
        windows_->form1 = std::make_unique<TForm1>(dependencies_);
        windows_->aboutBox = std::make_unique<TAboutBox>();
    } catch (const std::exception& failure) {
        windows_.reset();
        ReportFatalFailure(failure);
        return false;
    }
    windows_->form1->SetAboutAction([this] { ShowAbout(); });
    return true;
}

void Startup::ShowAbout() {
    // Once the flag is on, the About window's loop would end before its first event; so the
    // window does not open at all. The result does not matter to the About command.
    if (!termination_->Terminated()) {
        windows_->aboutBox->ShowModal();
    }
}

void Startup::EndLoopsOnTermination() {
    // Exiting a loop that is not running does nothing; RunEventLoop looks at the flag itself.
    mainLoop_->exit(0);
    if (TAboutBox* about = AboutBox()) {
        about->CancelModal();
    }
}

void Startup::RunEventLoop() {
    ShowMainWindow();
    // A quit taken before the loop runs (during the show-time search) ended no loop yet; the
    // flag keeps the loop from starting at all.
    if (!termination_->Terminated()) {
        mainLoop_->exec();
    }
}

void Startup::ShowMainWindow() {
    TForm1& form = *windows_->form1;
    if (showCommand_ == ShowMaximized) {
        form.setWindowState(form.windowState() | Qt::WindowMaximized);
    } else if (showCommand_ == ShowMinimizedNoActive) {
        // Only the taskbar entry appears; the show-time search waits for the first restore.
        form.setAttribute(Qt::WA_ShowWithoutActivating);
        form.setWindowState(form.windowState() | Qt::WindowMinimized);
    }
    form.show();
}

void Startup::ShutDown() {
    windows_.reset();
}

TForm1* Startup::Form1() const {
    return windows_ ? windows_->form1.get() : nullptr;
}

TAboutBox* Startup::AboutBox() const {
    return windows_ ? windows_->aboutBox.get() : nullptr;
}

bool Startup::Terminated() const {
    return termination_->Terminated();
}

void Startup::RequestQuit() {
    termination_->RequestQuit();
}

}  // namespace nimbrel
