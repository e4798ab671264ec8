#pragma once

// InstallImage: the 150 × 200 panel that introduces the product. It shows
// the product's picture, or, when there is none or the user has clicked the
// panel, the product's name, version, date, company and e-mail as upright
// text columns. Every click toggles between the two. An image file dropped on
// the panel replaces the picture; an editable panel also offers "Remove" on
// a tertiary-button click.

#include <Box.h>
#include <EntryRef.h>

#include <LibString.h>

#include <memory>

class BBitmap;

class InstallImage : public BBox {
public:
    // Posted to the window when a dropped image has been taken (or refused).
    static constexpr uint32 kMsgImageChanged = 'eiia';
    static constexpr float kWidth = 150;
    static constexpr float kHeight = 200;

    InstallImage(BPoint where, bool editable);
    ~InstallImage() override;

    void MessageReceived(BMessage* message) override;
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;

    // Each stores its text and where it starts; none redraws.
    void SetAppName(const char* name);
    void SetVersion(const char* version);
    void SetDate(const char* date);
    void SetCompany(const char* company);
    void SetEmail(const char* email);
    // Where an upright text of the current font starts so that it is centred
    // along the panel's height.
    float GetStringLocation(const char* text);

    // The picture becomes the bitmap archived in the message (none for an
    // empty message); redraws.
    void SetImage(BMessage& archive);
    // Archives the picture, if there is one, into the message.
    void GetImage(BMessage& archive);
    void ClearImage();
    // Takes the image file as the picture, warning when it is not 150 × 200
    // pixels and telling the user when it cannot be read.
    void ProcessImage(const entry_ref& ref);

    bool ShowsImage() const { return fShowImage; }
    const BBitmap* Image() const { return fImage.get(); }

private:
    void SetText(LibString& text, float& location, const char* value, float size);
    void DrawColumn(const LibString& text, float column, float location);

    bool fEditable;
    std::unique_ptr<BBitmap> fImage;
    bool fShowImage;
    float fAppNameLocation = 0;
    float fVersionLocation = 0;
    float fDateLocation = 0;
    float fCompanyLocation = 0;
    float fEmailLocation = 0;
    LibString fAppName;
    LibString fVersion;
    LibString fDate;
    LibString fCompany;
    LibString fEmail;
};
