#pragma once

// Checks on the paths an archive wants to create, done before anything is
// written: entry names that could leave the destination folder, and symbolic
// links whose target leads out of it.

#include <SupportDefs.h>

#include <map>
#include <string>
#include <vector>

namespace BPrivate {

// The longest name of one path component, and of a whole entry name.
constexpr size_t kMaxComponentLength = 255;
constexpr size_t kMaxEntryNameLength = 4095;
// The most components of one entry name: deeper trees are not plausible
// payloads, and every level costs a descriptor while the tree is removed.
constexpr size_t kMaxEntryDepth = 256;
// The most symbolic links one target may pass through.
constexpr int kMaxLinkHops = 40;

// Splits an entry name into its components. A folder's name may end with
// one slash. Refused (B_BAD_VALUE, with a reason): an empty or absolute name,
// empty, "." or ".." components, over-long or over-deep names.
status_t SplitEntryName(
    const std::string& name, std::vector<std::string>* components, std::string* reason);

std::string JoinComponents(const std::vector<std::string>& components, size_t count);

// What becomes of a link whose target is resolved from its place.
enum class LinkVerdict {
    kInside,
    kEmpty,
    kAbsolute,
    // Climbs out of the destination folder.
    kOutside,
    // Passes through more than kMaxLinkHops links: a loop, or as good as one.
    kLoop,
};

// Whether a link at linkPath (components from the destination folder) whose
// text is target stays inside the destination folder, following the
// archive's other links (links maps a joined path to its target) the way
// the kernel would.
LinkVerdict CheckLinkTarget(const std::vector<std::string>& linkPath, const std::string& target,
    const std::map<std::string, std::string>& links);

// The verdict in words, to follow "the link NAME".
std::string DescribeLinkVerdict(LinkVerdict verdict, const std::string& target);

} // namespace BPrivate
