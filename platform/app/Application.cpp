#include <Application.h>

#include <AppInfo.h>
#include <ExecutablePath.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "LooperList.h"
#include "Port.h"

BApplication* be_app = nullptr;

app_info::app_info()
    : thread(-1)
    , team(-1)
    , port(-1)
    , flags(B_MULTIPLE_LAUNCH)
{
    signature[0] = '\0';
}

BApplication::BApplication(const char* signature)
    : BLooper(signature != nullptr ? signature : "application")
{
    Init(signature, nullptr);
}

BApplication::BApplication(const char* signature, status_t* error)
    : BLooper(signature != nullptr ? signature : "application")
{
    Init(signature, error);
}

void BApplication::Init(const char* signature, status_t* error)
{
    if (be_app != nullptr) {
        fInitStatus = B_ALREADY_RUNNING;
    } else if (signature == nullptr || std::strncmp(signature, "application/", 12) != 0) {
        fInitStatus = B_BAD_VALUE;
    } else {
        fSignature = signature;
        be_app = this;
        be_app_messenger = BMessenger(this);
        BPrivate::Port::RegisterSignature(signature, PortId());
        fInitStatus = B_OK;
    }
    if (error != nullptr)
        *error = fInitStatus;
    else if (fInitStatus != B_OK)
        std::fprintf(stderr, "BApplication: cannot start (%s)\n",
            fInitStatus == B_ALREADY_RUNNING ? "an application object exists already"
                                             : "bad signature");
}

BApplication::~BApplication()
{
    QuitAllWindows(true);
    if (be_app == this) {
        be_app = nullptr;
        be_app_messenger = BMessenger();
    }
}

thread_id BApplication::Run()
{
    if (fInitStatus != B_OK)
        return fInitStatus;
    if (WasRunCalled())
        return B_ALREADY_RUNNING;
    SetRunThread(find_thread(nullptr));
    // The constructor left the application locked by this thread; the loop
    // takes the lock for each message itself.
    while (IsLocked())
        Unlock();
    Loop(false);
    return Thread();
}

void BApplication::Quit()
{
    if (!WasRunCalled() || find_thread(nullptr) != Thread()) {
        // From another thread (or before Run): end the loop and let Run()
        // return on its own thread; the object lives on until its owner
        // deletes it.
        RequestLoopEnd();
        return;
    }
    BLooper::Quit();
}

bool BApplication::QuitRequested()
{
    return QuitAllWindows(false);
}

bool BApplication::QuitAllWindows(bool force)
{
    for (port_id port : BPrivate::LooperAccess::WindowPorts()) {
        BMessenger messenger;
        messenger.SetTo(Team(), port, B_PREFERRED_TOKEN);
        // Locking through the messenger is safe against a window that quits
        // meanwhile; once locked, the window cannot go away under us.
        if (!messenger.LockTarget())
            continue;
        BLooper* window = nullptr;
        messenger.Target(&window);
        if (window == nullptr)
            continue;
        if (!force && !window->QuitRequested()) {
            window->Unlock();
            return false;
        }
        window->Quit();
    }
    return true;
}

void BApplication::ReadyToRun() { }

void BApplication::Pulse() { }

void BApplication::ArgvReceived(int32 /*argc*/, char** /*argv*/) { }

void BApplication::RefsReceived(BMessage* /*message*/) { }

void BApplication::AboutRequested() { }

void BApplication::AppActivated(bool /*active*/) { }

void BApplication::LoopStarted()
{
    if (!fReadyToRunCalled) {
        fReadyToRunCalled = true;
        ReadyToRun();
    }
}

void BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
    if (handler != this) {
        BLooper::DispatchMessage(message, handler);
        return;
    }
    switch (message->what) {
    case B_READY_TO_RUN:
        if (!fReadyToRunCalled) {
            fReadyToRunCalled = true;
            ReadyToRun();
        }
        break;
    case B_PULSE:
        Pulse();
        break;
    case B_ARGV_RECEIVED: {
        std::vector<std::string> arguments;
        const char* argument = nullptr;
        for (int32 i = 0; message->FindString("argv", i, &argument) == B_OK; i++)
            arguments.emplace_back(argument);
        std::vector<char*> argv;
        for (std::string& text : arguments)
            argv.push_back(text.data());
        argv.push_back(nullptr);
        ArgvReceived(int32(arguments.size()), argv.data());
        break;
    }
    case B_REFS_RECEIVED:
        RefsReceived(message);
        break;
    case B_ABOUT_REQUESTED:
        AboutRequested();
        break;
    case B_APP_ACTIVATED: {
        bool active = true;
        message->FindBool("active", &active);
        AppActivated(active);
        break;
    }
    default:
        BLooper::DispatchMessage(message, handler);
        break;
    }
}

void BApplication::MessageReceived(BMessage* message)
{
    BLooper::MessageReceived(message);
}

void BApplication::SetPulseRate(bigtime_t rate)
{
    SetPulseInterval(rate);
}

bigtime_t BApplication::PulseRate() const
{
    return PulseInterval();
}

void BApplication::DispatchPulse()
{
    Pulse();
}

status_t BApplication::GetAppInfo(app_info* info) const
{
    if (info == nullptr)
        return B_BAD_VALUE;
    *info = app_info();
    info->thread = Thread();
    info->team = Team();
    info->port = PortId();
    std::strncpy(info->signature, fSignature.c_str(), sizeof(info->signature) - 1);
    std::string path;
    status_t status = BPrivate::GetExecutablePath(&path);
    if (status != B_OK)
        return status;
    return BPrivate::RefForPath(path.c_str(), &info->ref);
}

const char* BApplication::Signature() const
{
    return fSignature.c_str();
}

int32 BApplication::CountWindows() const
{
    return int32(BPrivate::LooperAccess::WindowPorts().size());
}

BLooper* BApplication::WindowAt(int32 index) const
{
    return BPrivate::LooperAccess::WindowAt(index);
}
