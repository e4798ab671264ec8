#pragma once

// AlertView: the background of an alert: the panel colour, and for every
// kind but the empty one, a darker stripe down the left edge with the
// kind's icon over it.

#include <Alert.h>
#include <View.h>

namespace BPrivate {

class AlertView : public BView {
public:
    AlertView(BRect frame, alert_type type);

    void Draw(BRect updateRect) override;

    // The icon of an alert kind, 32 × 32 with its top left corner at
    // `where`. Drawn with the view's drawing calls, so it scales with the
    // view.
    static void DrawIcon(BView* view, alert_type type, BPoint where);

private:
    alert_type fType;
};

} // namespace BPrivate
