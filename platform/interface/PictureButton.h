#pragma once

// BPictureButton: a button drawn with pictures: one for off and one for on,
// and optionally others for the disabled states. A one-state button acts as
// a push button (it shows the "on" picture while pressed); a two-state
// button toggles its value with each click. The button keeps copies of the
// pictures it is given.

#include <Control.h>
#include <Picture.h>

#include <memory>

enum {
    B_ONE_STATE_BUTTON = 0,
    B_TWO_STATE_BUTTON = 1,
};

class BPictureButton : public BControl {
public:
    BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on, BMessage* message,
        uint32 behavior = B_ONE_STATE_BUTTON, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
        uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    ~BPictureButton() override;

    void AttachedToWindow() override;
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

    virtual void SetEnabledOn(BPicture* picture);
    virtual void SetEnabledOff(BPicture* picture);
    virtual void SetDisabledOn(BPicture* picture);
    virtual void SetDisabledOff(BPicture* picture);
    BPicture* EnabledOn() const;
    BPicture* EnabledOff() const;
    BPicture* DisabledOn() const;
    BPicture* DisabledOff() const;

    virtual void SetBehavior(uint32 behavior);
    uint32 Behavior() const;

    void SetValue(int32 value) override;
    status_t Invoke(BMessage* message = nullptr) override;

private:
    static std::unique_ptr<BPicture> Copy(const BPicture* picture);

    std::unique_ptr<BPicture> fEnabledOff;
    std::unique_ptr<BPicture> fEnabledOn;
    std::unique_ptr<BPicture> fDisabledOff;
    std::unique_ptr<BPicture> fDisabledOn;
    uint32 fBehavior;
    bool fTrackingMouse = false;
    bool fPressedInside = false;
};
