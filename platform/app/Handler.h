#pragma once

// BHandler: an object that receives messages inside a looper.

#include <string>

#include <Archivable.h>
#include <Message.h>

class BLooper;

class BHandler : public BArchivable {
public:
    explicit BHandler(const char* name = nullptr);
    explicit BHandler(BMessage* archive);
    ~BHandler() override;

    BHandler(const BHandler&) = delete;
    BHandler& operator=(const BHandler&) = delete;

    status_t Archive(BMessage* archive, bool deep = true) const override;
    static BArchivable* Instantiate(BMessage* archive);

    // The base version passes the message to the next handler, or answers a
    // waiting sender with B_MESSAGE_NOT_UNDERSTOOD.
    virtual void MessageReceived(BMessage* message);

    BLooper* Looper() const;

    void SetName(const char* name);
    const char* Name() const;

    virtual void SetNextHandler(BHandler* handler);
    BHandler* NextHandler() const;

    bool LockLooper();
    status_t LockLooperWithTimeout(bigtime_t timeout);
    void UnlockLooper();

    // The token that messengers use to name this handler inside its looper.
    int32 Token() const { return fToken; }

private:
    friend class BLooper;

    void SetLooper(BLooper* looper);

    int32 fToken;
    std::string fName;
    BLooper* fLooper = nullptr;
    BHandler* fNextHandler = nullptr;
};
