#include "ZipEntryPath.h"

#include <deque>

namespace BPrivate {

namespace {

std::deque<std::string> SplitTarget(const std::string& target)
{
    std::deque<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t slash = target.find('/', start);
        parts.push_back(target.substr(start, slash - start));
        if (slash == std::string::npos)
            return parts;
        start = slash + 1;
    }
}

} // namespace

status_t SplitEntryName(
    const std::string& name, std::vector<std::string>* components, std::string* reason)
{
    components->clear();
    std::string path = name;
    if (!path.empty() && path.back() == '/')
        path.pop_back();
    if (path.empty()) {
        *reason = "empty entry name";
        return B_BAD_VALUE;
    }
    if (path.size() > kMaxEntryNameLength) {
        *reason = "entry name too long";
        return B_BAD_VALUE;
    }
    if (path.front() == '/') {
        *reason = "absolute path \"" + name + "\"";
        return B_BAD_VALUE;
    }
    size_t start = 0;
    for (;;) {
        size_t slash = path.find('/', start);
        std::string part = path.substr(start, slash - start);
        if (part.empty() || part == "." || part == "..") {
            *reason = "unsafe path \"" + name + "\"";
            return B_BAD_VALUE;
        }
        if (part.size() > kMaxComponentLength) {
            *reason = "name too long in \"" + name + "\"";
            return B_BAD_VALUE;
        }
        components->push_back(std::move(part));
        if (components->size() > kMaxEntryDepth) {
            *reason = "too many folders deep in \"" + name + "\"";
            return B_BAD_VALUE;
        }
        if (slash == std::string::npos)
            return B_OK;
        start = slash + 1;
    }
}

std::string JoinComponents(const std::vector<std::string>& components, size_t count)
{
    std::string path;
    for (size_t i = 0; i < count && i < components.size(); i++) {
        if (i > 0)
            path += '/';
        path += components[i];
    }
    return path;
}

LinkVerdict CheckLinkTarget(const std::vector<std::string>& linkPath, const std::string& target,
    const std::map<std::string, std::string>& links)
{
    if (target.empty() || linkPath.empty())
        return LinkVerdict::kEmpty;
    if (target.front() == '/')
        return LinkVerdict::kAbsolute;
    std::vector<std::string> at(linkPath.begin(), linkPath.end() - 1);
    std::deque<std::string> pending = SplitTarget(target);
    // The kernel counts the link itself among the links one lookup follows.
    int hops = 1;
    while (!pending.empty()) {
        std::string part = std::move(pending.front());
        pending.pop_front();
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (at.empty())
                return LinkVerdict::kOutside;
            at.pop_back();
            continue;
        }
        at.push_back(std::move(part));
        auto link = links.find(JoinComponents(at, at.size()));
        if (link == links.end())
            continue;
        // Another link of the archive: continue from its own target, as path
        // resolution would.
        if (++hops > kMaxLinkHops)
            return LinkVerdict::kLoop;
        if (link->second.empty())
            return LinkVerdict::kEmpty;
        if (link->second.front() == '/')
            return LinkVerdict::kAbsolute;
        at.pop_back();
        std::deque<std::string> inner = SplitTarget(link->second);
        pending.insert(pending.begin(), inner.begin(), inner.end());
    }
    return LinkVerdict::kInside;
}

std::string DescribeLinkVerdict(LinkVerdict verdict, const std::string& target)
{
    switch (verdict) {
    case LinkVerdict::kInside:
        return "points to \"" + target + "\", inside the destination";
    case LinkVerdict::kEmpty:
        return "has no target";
    case LinkVerdict::kAbsolute:
        return "points to \"" + target + "\", an absolute path (or through one)";
    case LinkVerdict::kOutside:
        return "points to \"" + target + "\", outside the destination";
    case LinkVerdict::kLoop:
        return "points to \"" + target + "\", into a loop of links";
    }
    return "is not usable";
}

} // namespace BPrivate
