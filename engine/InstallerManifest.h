#pragma once

// The installer's table of contents: brenvik-build lists the program the
// resources are appended to and every resource of an installer (type, id,
// name) with the SHA-256 of its data, in a resource of its own
// (InstallerFormat::kManifestId), and ends the list with the digest of the
// list itself. The installer checks it before its first step, so that a
// damaged or altered part is named at once instead of being met half way
// through an installation.
//
// The text, one line each:
//   BRENVIK MANIFEST 1
//   program <sha256 of the bytes before the resources, 64 hex digits>
//   <type, 8 hex digits> <id> <sha256, 64 hex digits> <name, \n and % escaped>
//   manifest <sha256 of every byte above this line>

#include <string>
#include <vector>

#include <SupportDefs.h>

class BResources;

namespace InstallerManifest {

struct Part {
    type_code type = 0;
    int32 id = 0;
    std::string name;
};

// Lists every resource of `resources` but the manifest and the signature,
// and stores the list as the manifest (replacing one that is there).
status_t Write(BResources& resources);

// The manifest's text as stored; false when there is none or it is larger
// than any manifest.
bool ReadText(BResources& resources, std::string* text);
// The same for any text resource, refused when larger than `limit`.
bool ReadTextResource(
    BResources& resources, type_code type, int32 id, size_t limit, std::string* text);

// Names as the manifest and the signature write them on one line: "\n" and
// "%" as %0a and %25.
std::string EscapedName(const std::string& name);
std::string UnescapedName(const std::string& escaped);

// What the manifest lists (for tools that show it), in its order; false
// when `text` is not a manifest whose own digest matches.
struct Entry {
    Part part;
    std::string digest;
};
struct Listing {
    std::string programDigest;
    std::vector<Entry> entries;
    // The manifest's own digest.
    std::string digest;
};
bool Parse(const std::string& text, Listing* listing);

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
    // The damaged part is the program, not a resource.
    bool program = false;
};

// Reads every resource once and holds it against the manifest.
Verdict Check(BResources& resources);

} // namespace InstallerManifest
