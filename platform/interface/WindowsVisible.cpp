#include "WindowsVisible.h"

#include <DisplayBackend.h>

namespace BPrivate {

bool WindowsCanShow()
{
    return DisplayBackend::WindowsCanShow();
}

void ShowNoWindows()
{
    DisplayBackend::ShowNoWindows();
}

} // namespace BPrivate
