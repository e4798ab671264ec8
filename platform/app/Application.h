#pragma once

// BApplication: the program's application object. Its message loop runs on
// the thread that calls Run().

#include <Looper.h>
#include <Messenger.h>

struct app_info;

class BApplication : public BLooper {
public:
    explicit BApplication(const char* signature);
    BApplication(const char* signature, status_t* error);
    ~BApplication() override;

    status_t InitCheck() const { return fInitStatus; }

    // Runs the loop in the calling thread; returns when the application quits.
    thread_id Run() override;
    void Quit() override;
    // The base version asks every window to quit and answers true when all
    // agreed.
    bool QuitRequested() override;

    virtual void ReadyToRun();
    virtual void Pulse();
    virtual void ArgvReceived(int32 argc, char** argv);
    virtual void RefsReceived(BMessage* message);
    virtual void AboutRequested();
    virtual void AppActivated(bool active);

    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void MessageReceived(BMessage* message) override;

    void SetPulseRate(bigtime_t rate);
    bigtime_t PulseRate() const;

    status_t GetAppInfo(app_info* info) const;
    const char* Signature() const;

    int32 CountWindows() const;
    BLooper* WindowAt(int32 index) const;

protected:
    void DispatchPulse() override;
    void LoopStarted() override;

private:
    void Init(const char* signature, status_t* error);
    bool QuitAllWindows(bool force);

    std::string fSignature;
    status_t fInitStatus = B_NO_INIT;
    bool fReadyToRunCalled = false;
};

extern BApplication* be_app;
