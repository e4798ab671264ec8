#pragma once

// ProgressBar: a thin sunken bar that fills from the left with the share of
// work done, as the installer window shows the bytes placed while the pass
// runs.

#include <View.h>

class ProgressBar : public BView {
public:
    ProgressBar(BRect frame, const char* name, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP);
    ~ProgressBar() override;

    void Draw(BRect updateRect) override;

    // `done` of `total`; nothing to do (a total of 0) shows an empty bar.
    void SetProgress(uint64 done, uint64 total);
    // The share done, from 0 to 1.
    float Fraction() const { return fFraction; }

private:
    float fFraction = 0;
};
