#include "ZipNodeAttributes.h"

#include <NodeAttributes.h>

#include <algorithm>

namespace BPrivate {

status_t ReadNodeAttributes(int fd, std::vector<ZipAttribute>* attributes)
{
    attributes->clear();
    BPrivate::NodeTarget target;
    target.fd = fd;
    std::vector<std::string> names;
    status_t status = BPrivate::NodeAttributes::List(target, &names);
    if (status == B_NOT_SUPPORTED)
        return B_OK;
    if (status != B_OK)
        return status;
    // By name, not in the file system's order, which a copy of the file may
    // not keep: the same attributes make the same field.
    std::sort(names.begin(), names.end());
    for (std::string& name : names) {
        ZipAttribute attribute;
        status = BPrivate::NodeAttributes::Read(
            target, name.c_str(), &attribute.type, &attribute.data);
        // An attribute removed meanwhile is simply gone.
        if (status == B_ENTRY_NOT_FOUND)
            continue;
        if (status != B_OK)
            return status;
        attribute.name = std::move(name);
        attributes->push_back(std::move(attribute));
    }
    return B_OK;
}

status_t WriteNodeAttribute(int fd, const ZipAttribute& attribute)
{
    BPrivate::NodeTarget target;
    target.fd = fd;
    return BPrivate::NodeAttributes::Write(target, attribute.name.c_str(), attribute.type,
        attribute.data.data(), attribute.data.size());
}

} // namespace BPrivate
