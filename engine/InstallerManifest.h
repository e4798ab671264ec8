#pragma once

// The installer's table of contents: brenvik-build lists every resource of
// an installer (type, id, name) with the SHA-256 of its data, in a resource
// of its own (InstallerFormat::kManifestId), and ends the list with the
// digest of the list itself. The installer checks it before its first step,
// so that a damaged or altered part is named at once instead of being met
// half way through an installation.
//
// The text, one line each:
//   BRENVIK MANIFEST 1
//   <type, 8 hex digits> <id> <sha256, 64 hex digits> <name, \n and % escaped>
//   manifest <sha256 of every byte above this line>

#include <string>

#include <SupportDefs.h>

class BResources;

namespace InstallerManifest {

struct Part {
    type_code type = 0;
    int32 id = 0;
    std::string name;
};

// Lists every resource of `resources` but the manifest and stores the list
// as the manifest (replacing one that is there).
status_t Write(BResources& resources);

struct Verdict {
    enum result {
        kWhole,
        // The installer carries no manifest at all.
        kNoManifest,
        // A part's data differ from the list, a listed part is missing, a
        // part is not listed, or the list itself is damaged (`part` is then
        // the manifest).
        kDamaged,
    };
    result what = kNoManifest;
    Part part;
};

// Reads every resource once and holds it against the manifest.
Verdict Check(BResources& resources);

} // namespace InstallerManifest
