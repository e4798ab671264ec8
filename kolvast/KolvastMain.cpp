// brenvik-kolvast
//
// The de-installer. The authoring tool stores it in every installer as the
// de-installer entry; the install pass extracts it beside an installation.

#include <Application.h>

#include <InstallerFormat.h>

#include "KolvastReport.h"

int main()
{
    BApplication application(InstallerFormat::kDeinstallerSignature);
    return KolvastReport().Run();
}
