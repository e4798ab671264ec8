#pragma once

// A libzip source that writes a new archive into a BPositionIO, from the
// stream's position 0 on, so that an archive can go straight to its final
// place (a resource inside an installer executable, for one) instead of
// through a file of its own.

#include <DataIO.h>

#include <zip.h>

namespace BPrivate {

// Owned by libzip once an archive is opened on it (zip_source_free
// otherwise). The stream must outlive it.
zip_source_t* CreateStreamTarget(BPositionIO& target, zip_error_t* error);

} // namespace BPrivate
