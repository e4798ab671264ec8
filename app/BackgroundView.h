#pragma once

// BackgroundView: the installer window's background. It paints the panel
// colour and, upright along the right edge, the line that names the program
// that made the installer.

#include <View.h>

class BackgroundView : public BView {
public:
    explicit BackgroundView(BRect frame);
    ~BackgroundView() override;

    void Draw(BRect updateRect) override;
};
