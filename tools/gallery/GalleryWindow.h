#pragma once

// GalleryWindow: one window that shows every control of the interface kit,
// of the installer's own toolkit built on it, and the installer's own views
// (about panel, file list, replace dialog), in their meaningful states,
// in labelled boxes, so that their look can be checked at a glance and
// compared between display backends. Its buttons open an
// alert of each kind, a pop-up menu and an open panel for folders, so that
// people can try them.
//
// Nothing in it depends on the time: the first frame is the same pixels on
// every run and every backend.

#include <Window.h>

#include <memory>

class BFilePanel;

namespace brenvik::gallery {

class GalleryWindow : public BWindow {
public:
    // The window is made hidden, at the top left of the screen.
    GalleryWindow();
    ~GalleryWindow() override;

    void MessageReceived(BMessage* message) override;
    bool QuitRequested() override;

    // Whether closing the window quits the application (on by default).
    void SetQuitsApplication(bool quits) { fQuitsApplication = quits; }

    static constexpr float kWidth = 880;
    static constexpr float kHeight = 720;

private:
    void BuildViews();
    BView* BuildButtons(BRect frame);
    BView* BuildCheckBoxes(BRect frame);
    BView* BuildStringViews(BRect frame);
    BView* BuildPictureButtons(BRect frame);
    BView* BuildBoxes(BRect frame);
    BView* BuildTextView(BRect frame);
    BView* BuildListView(BRect frame);
    BView* BuildMenuFields(BRect frame);
    BView* BuildPopUps(BRect frame);
    BView* BuildViewLabelBox(BRect frame);
    BView* BuildBitmaps(BRect frame);
    BView* BuildTryButtons(BRect frame);

    void ShowAlert(uint32 what);
    void ShowPopUp();
    void ShowFolderPanel();

    BView* fPanel = nullptr;
    std::unique_ptr<BFilePanel> fFolderPanel;
    bool fQuitsApplication = true;
};

} // namespace brenvik::gallery
